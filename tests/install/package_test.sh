#!/usr/bin/env bash
# scripts/package on the already-built tree (a release build inside a test would take far too
# long on the test machines): the package builds, its entries validate and lintian reports no
# error; then its contents and control fields are checked.
# Usage: package_test.sh SOURCE_DIR BUILD_DIR APPLICATION_ID ENERGY_GROUP
# Exits 77 (skipped) when the packaging tools are not installed.
set -euo pipefail
source_dir=$1 build=$2 id=$3 group=$4
for tool in dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/bootstrap)"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$source_dir/scripts/package" --build-dir "$build" --output "$out" || fail "scripts/package failed"
deb=$(ls "$out"/pylonix_*.deb)
contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/pylonix ./usr/bin/pylonix-probe ./usr/share/applications/$id.desktop \
            ./usr/share/metainfo/$id.metainfo.xml ./usr/lib/udev/rules.d/70-pylonix-energy.rules \
            ./usr/share/doc/pylonix/copyright; do
    grep -q " $file\$" <<<"$contents" || fail "$file is not in the package"
done
depends=$(dpkg-deb --field "$deb" Depends)
for dependency in libqt6core6 fonts-noto-cjk fonts-material-design-icons-iconfont adduser; do
    grep -q "$dependency" <<<"$depends" || fail "Depends lacks $dependency: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./postinst | grep -q "addgroup --quiet --system $group" ||
    fail "postinst does not create the group $group"
echo "PASS"
