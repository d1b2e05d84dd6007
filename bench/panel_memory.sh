#!/usr/bin/env bash
# The panel's memory and first frame, with the real application under Xvfb and trayer: the
# resident size before any opening, then after each of ten openings and closings (Escape), and
# the first frame of each opening, timed by the application from the tray item's activation
# (PYLONIX_PANEL_TIMING=1), with the CPU its main thread spent from the click until the script saw
# that frame (an upper bound: up to a tenth of a second of polling, and what follows the frame).
# Medians and the last figure are printed.
#
#   bench/panel_memory.sh [PYLONIX] [CYCLES]
# PYLONIX defaults to the release build. Needs xvfb-run, trayer, xdotool and xwininfo
# (scripts/bootstrap installs them).
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    app=${1:-build/release/src/app/pylonix}
    cycles=${2:-10}
    [ -x "$app" ] || { echo "no $app: cmake --preset release && cmake --build --preset release --target pylonix"; exit 2; }
    auth=$(mktemp)
    trap 'rm -f "$auth"' EXIT
    session=()
    command -v dbus-run-session >/dev/null && session=(dbus-run-session --)
    exec xvfb-run -a -n $((100 + RANDOM % 800)) -f "$auth" -s "-screen 0 1280x800x24" \
        "${session[@]}" "$0" --inside "$(realpath "$app")" "$cycles"
fi
app=$2
cycles=$3
root=$(cd "$(dirname "$0")/.." && pwd)
export PYLONIX_POWER_SUPPLY_ROOT=$root/tests/fixtures/power_supply/thinkpad_discharging
export PYLONIX_PANEL_TIMING=1
[ -n "${BENCH_QUICK_BACKEND:-}" ] && export QT_QUICK_BACKEND=$BENCH_QUICK_BACKEND
. "$root/tests/desktop/x_session.sh"
log=$(mktemp)
cleanup() {
    stop_started
    rm -f "$log"
}
trap cleanup EXIT

eventually() {
    within 20 "$@" && return 0
    echo "timed out: $*" >&2
    tail -n 5 "$log" >&2
    exit 1
}
panel_open() { xdotool search --onlyvisible --name '^Pylonix$' >/dev/null; }
panel_closed() { ! panel_open; }
# CPU time of the application's main thread so far, in microseconds (the scheduler's count).
main_thread_us() { awk '{ print int($1 / 1000) }' "/proc/$app_pid/task/$app_pid/schedstat"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$app_pid/status"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
frames() { grep -c "panel first frame" "$log" || true; }
more_frames_than() { [ "$(frames)" -gt "$1" ]; }

trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
    --transparent false >/dev/null 2>&1 &
pids+=($!)
eventually tray_ready
"$app" >"$log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
eventually icon_docked
read -r x y < <(icon_position)
sleep 5   # the application prepares the panel a second after its item is up
echo "resident before the first opening: $(rss_kb) kB"

open_rss=()
closed_rss=()
opening_cpu=()
for cycle in $(seq 1 "$cycles"); do
    before=$(frames)
    cpu_before=$(main_thread_us)
    xdotool mousemove $((x + 10)) $((y + 10)) click 1
    eventually panel_open
    eventually more_frames_than "$before"
    opening_cpu+=($((($(main_thread_us) - cpu_before) / 1000)))
    sleep 2.5   # one sampling pass of the applications, as a user would look
    open_rss+=("$(rss_kb)")
    xdotool key Escape
    eventually panel_closed
    sleep 1
    closed_rss+=("$(rss_kb)")
    echo "cycle $cycle: open ${open_rss[-1]} kB, closed ${closed_rss[-1]} kB"
    sleep 0.5   # not taken for the click that closed it
done
first_frames=$(sed -n 's/.*panel first frame \([0-9]*\) ms.*/\1/p' "$log")
echo "first frame, ms: $(echo "$first_frames" | tr '\n' ' ')"
echo "main thread CPU from the click until the first frame was seen, ms: ${opening_cpu[*]}"
echo "first frame median: $(echo "$first_frames" | median) ms, slowest $(echo "$first_frames" | sort -n | tail -n 1) ms"
echo "resident while open, median: $(printf '%s\n' "${open_rss[@]}" | median) kB"
echo "resident after closing, median: $(printf '%s\n' "${closed_rss[@]}" | median) kB, after the last: ${closed_rss[-1]} kB"
