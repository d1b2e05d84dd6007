#!/usr/bin/env bash
# The real application on a virtual X server. Without any tray: the notice on screen and on
# standard error, then the icon as soon as an XEmbed tray (trayer) starts. With a tray from the
# start: the icon docked, the panel opened by a click under the icon, closed by Escape and by a
# click outside. A second start, on the same private session bus: it opens the running one's
# panel and ends with status 0. Screenshots land in OUTPUT_DIR.
# Usage: tray_app_xvfb_test.sh no-tray|xembed|second-start|traps PYLONIX POWER_SUPPLY_FIXTURE OUTPUT_DIR
# Exits 77 (skipped) when the X tools are not installed.
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    for tool in xvfb-run trayer xdotool xwininfo; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (scripts/bootstrap installs it)"
            exit 77
        fi
    done
    session=()
    command -v dbus-run-session >/dev/null && session=(dbus-run-session --)
    if { [ "$1" = second-start ] || [ "$1" = traps ]; } && [ ${#session[@]} -eq 0 ]; then
        echo "SKIP: dbus-run-session is not installed (scripts/bootstrap installs it)"
        exit 77
    fi
    # A session bus of its own, with no StatusNotifierItem watcher on it: only X11 trays count.
    # Its own authority file and a display number of its own: concurrent runs must not share.
    auth=$(mktemp)
    trap 'rm -f "$auth"' EXIT
    xvfb-run -a -n $((100 + RANDOM % 800)) -f "$auth" -s "-screen 0 1280x800x24" \
        "${session[@]}" "$0" --inside "$@"
    exit
fi
shift
mode=$1
app=$2
export PYLONIX_POWER_SUPPLY_ROOT=$3
out=$4
# An X11 session of its own, even when started inside a Wayland one.
unset WAYLAND_DISPLAY
mkdir -p "$out"
. "$(dirname "$0")/../desktop/x_session.sh"
log=$(mktemp)
cleanup() {
    stop_started
    rm -f "$log"
    [ -z "${traps:-}" ] || rm -rf "$traps"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; echo "--- application output:"; cat "$log"; exit 1; }

eventually() { within 20 "$@"; }

# Visible top-level windows titled exactly "Pylonix" (the panel, or the notice).
visible_pylonix_window() {
    for id in $(xdotool search --onlyvisible --name '^Pylonix$' 2>/dev/null); do
        if [ "$(xdotool getwindowname "$id")" = "Pylonix" ]; then echo "$id"; return 0; fi
    done
    return 1
}
no_visible_pylonix_window() { ! visible_pylonix_window; }

# (`mousemove --sync` would wait forever when the pointer is already there.)
click_at() { xdotool mousemove "$1" "$2" sleep 0.2 click 1; }

shot() { command -v import >/dev/null && import -window root "$out/$1.png" || true; }

start_trayer() {
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        --transparent false >"$out/trayer.log" 2>&1 &
    pids+=($!)
}

if [ "$mode" = no-tray ]; then
echo "== no tray at all"
"$app" >"$log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
eventually grep -q "no system tray found" "$log" || fail "no message on standard error"
eventually visible_pylonix_window || fail "no notice window"
shot no-tray
kill -0 "$app_pid" || fail "the application ended instead of waiting"

echo "== a tray appears"
start_trayer
eventually icon_docked || fail "the icon did not dock in the tray that appeared"
eventually no_visible_pylonix_window || fail "the notice stayed open"
echo "PASS"
exit 0
fi

if [ "$mode" = traps ]; then
    # FIFOs where the program reads outside files: an applications folder's entry, the
    # autostart entry, the launcher variable. Opened blocking, any of them would freeze it.
    traps=$(mktemp -d)
    mkdir -p "$traps/data/applications" "$traps/config/autostart"
    mkfifo "$traps/data/applications/trap.desktop" \
        "$traps/config/autostart/io.github.pylonix.Pylonix.desktop" "$traps/launched.desktop"
    export XDG_DATA_HOME="$traps/data" XDG_CONFIG_HOME="$traps/config"
    export GIO_LAUNCHED_DESKTOP_FILE="$traps/launched.desktop"
fi

echo "== tray from the start"
start_trayer
eventually tray_ready || fail "trayer did not start"
"$app" >"$log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
eventually icon_docked || fail "the icon did not dock"
sleep 0.5
shot tray
grep -q "no system tray found" "$log" && fail "the notice came up although a tray exists"
read -r x y < <(icon_position)

if [ "$mode" = traps ]; then
echo "== with the traps in place the panel opens, samples, closes, and opens again over D-Bus"
click_at $((x + 10)) $((y + 10))
eventually visible_pylonix_window || fail "the panel did not open"
sleep 3  # one application sampling pass reads the applications folder and the launcher file
shot traps-open
xdotool key Escape
eventually no_visible_pylonix_window || fail "Escape did not close the panel"
timeout 60 "$app" >"$out/second-start.log" 2>&1 || fail "the second start ended with status $?"
eventually visible_pylonix_window || fail "the running instance did not answer over D-Bus"
kill -0 "$app_pid" || fail "the first instance ended"
echo "PASS"
exit 0
fi

if [ "$mode" = second-start ]; then
echo "== a second start opens the running one's panel and ends with status 0"
no_visible_pylonix_window || fail "a window was open before the second start"
timeout 60 "$app" >"$out/second-start.log" 2>&1 || fail "the second start ended with status $?"
eventually visible_pylonix_window || fail "the running instance did not open its panel"
shot second-start
kill -0 "$app_pid" || fail "the first instance ended"
echo "PASS"
exit 0
fi

echo "== a click opens the panel under the icon"
click_at $((x + 10)) $((y + 10))
eventually visible_pylonix_window || fail "the panel did not open"
panel=$(visible_pylonix_window)
eval "$(xdotool getwindowgeometry --shell "$panel")"
[ "$WIDTH" -eq 360 ] || fail "panel width $WIDTH"
[ "$Y" -ge 20 ] && [ "$Y" -le 40 ] || fail "panel top at $Y, not under the tray"
[ $((X + WIDTH)) -le 1280 ] || fail "panel leaves the screen at $((X + WIDTH))"
sleep 0.5
shot panel

echo "== Escape closes it"
xdotool key Escape
eventually no_visible_pylonix_window || fail "Escape did not close the panel"

echo "== a click outside closes it"
sleep 0.5
click_at $((x + 10)) $((y + 10))
eventually visible_pylonix_window || fail "the panel did not open again"
click_at 200 500
eventually no_visible_pylonix_window || fail "a click outside did not close the panel"
kill -0 "$app_pid" || fail "the application ended"
echo "PASS"
