#!/bin/sh
# login-item and update-check as a user runs them: JSON on standard output, exit status 0 for
# a result (failures included), 2 for a wrong command line. The login item lives in a
# temporary XDG_CONFIG_HOME; update-check is only run against addresses it must refuse.
set -eu
probe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_output() {  # expected-substring command...
    expected=$1; shift
    output=$("$@") || fail "$* exited with $?"
    case $output in *"$expected"*) ;; *) fail "$*: expected $expected in $output" ;; esac
}
expect_status() {  # status command...
    status=$1; shift
    set +e; "$@" >/dev/null 2>&1; actual=$?; set -e
    [ "$actual" -eq "$status" ] || fail "$*: exit status $actual, expected $status"
}

expect_output '"status":"notRegistered"' "$probe" login-item
expect_output '"errorMessage":null' "$probe" login-item register --executable /bin/true
entry="$XDG_CONFIG_HOME/autostart/io.github.pylonix.Pylonix.desktop"
[ -f "$entry" ] || fail "no autostart entry written"
grep -qx 'Exec="/bin/true"' "$entry" || fail "the entry does not start /bin/true"
expect_output '"status":"enabled"' "$probe" login-item status
expect_output '"status":"notRegistered"' "$probe" login-item unregister
grep -qx 'Hidden=true' "$entry" || fail "switching off did not keep the entry, marked hidden"
# An entry whose program is gone never reads as enabled.
rm "$entry"
expect_output '"status":"notFound"' "$probe" login-item register --executable "$work/gone"

mkdir -p "$work/file-config" && : > "$work/file-config/autostart"
XDG_CONFIG_HOME="$work/file-config" expect_output '"errorMessage":"Not a directory"' \
    "$probe" login-item register
expect_status 2 "$probe" login-item enable
expect_status 2 "$probe" login-item status extra

if "$probe" --help | grep -q '^  update-check'; then
    expect_output '"errorMessage":"更新源地址必须是 https 地址：http://example.org/feed.xml"' \
        "$probe" update-check --feed http://example.org/feed.xml
    expect_output '"availableVersion":null' "$probe" update-check --feed ftp://127.0.0.1/feed
    expect_status 2 "$probe" update-check
    expect_status 2 "$probe" update-check --feed https://example.org/ --timeout 0
fi
echo "services probe commands: ok"
