#!/usr/bin/env bash
# `cmake --install` into a temporary DESTDIR: every file in place, the launcher entry and the
# metainfo valid, and the installed pylonix runs from there.
# Usage: install_test.sh BUILD_DIR VERSION APPLICATION_ID ENERGY_GROUP
# Exits 77 (skipped) when the validators are not installed.
set -euo pipefail
build=$1 version=$2 id=$3 group=$4
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/bootstrap)"; exit 77; }
done
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
usr=$dest/usr
for file in bin/pylonix bin/pylonix-probe share/applications/$id.desktop \
            share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg \
            lib/udev/rules.d/70-pylonix-energy.rules; do
    [ -s "$usr/$file" ] || fail "$file was not installed"
done
[ -x "$usr/bin/pylonix" ] && [ -x "$usr/bin/pylonix-probe" ] || fail "the programs are not executable"

# Each PNG has the size its folder names (width and height: bytes 17-24 of the header).
for size in 16 22 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -s "$png" ] || fail "no ${size}px icon"
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "${size}px icon is ${width}x${height}"
done

entry=$usr/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
for line in "Categories=System;Monitor;" "TryExec=pylonix" "Exec=pylonix" "Icon=$id" \
            "Name[zh_CN]=Pylonix 功耗计"; do
    grep -qxF "$line" "$entry" || fail "the desktop entry lacks $line"
done
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not validate"
grep -q "<caption>" "$usr/share/metainfo/$id.metainfo.xml" || fail "no screenshot caption"
grep -q "chgrp $group " "$usr/lib/udev/rules.d/70-pylonix-energy.rules" ||
    fail "the udev rule does not name the group $group"

output=$("$usr/bin/pylonix" --version) || fail "the installed pylonix --version failed"
[ "$output" = "pylonix $version" ] || fail "pylonix --version printed: $output"
"$usr/bin/pylonix" --help | grep -q -- "--terminal" || fail "pylonix --help lacks --terminal"
echo "PASS"
