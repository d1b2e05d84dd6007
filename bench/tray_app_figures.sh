#!/usr/bin/env bash
# The tray application's running costs on a virtual X server with an XEmbed tray (trayer):
# the time from start to the icon docked in the tray, then CPU time and peak resident memory
# over a run with the panel closed. Prints one line per figure.
# Usage: bench/tray_app_figures.sh [PYLONIX] [SECONDS]   (default: the release build, 60 s)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--inside" ]; then
    app=${1:-build/release/src/app/pylonix}
    seconds=${2:-60}
    for tool in xvfb-run trayer xwininfo /usr/bin/time; do
        command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/bootstrap)"; exit 1; }
    done
    auth=$(mktemp)
    trap 'rm -f "$auth"' EXIT
    session=()
    command -v dbus-run-session >/dev/null && session=(dbus-run-session --)
    xvfb-run -a -n $((100 + RANDOM % 800)) -f "$auth" -s "-screen 0 1280x800x24" \
        "${session[@]}" "$0" --inside "$app" "$seconds" 2>/dev/null
    exit
fi
app=$2
seconds=$3
usage=$(mktemp)
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
trayer_pid=$!
trap 'kill $trayer_pid 2>/dev/null || true; rm -f "$usage"' EXIT
until xwininfo -root -tree | grep -q '("panel" "trayer")'; do sleep 0.05; done

docked() { xwininfo -root -tree | grep -q '"pylonix": ("pylonix" "pylonix")'; }

start=$(date +%s%N)
/usr/bin/time -v -o "$usage" timeout -s TERM "$seconds" "$app" >/dev/null 2>&1 &
app_pid=$!
until docked; do sleep 0.005; done
first_icon_ms=$((($(date +%s%N) - start) / 1000000))

# The steady state, start-up excluded: the program's own CPU ticks from 2 s after the icon
# docked until 2 s before the end.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
timeout_pid=$(pgrep -P "$app_pid")
pylonix_pid=$(pgrep -P "$timeout_pid")
sleep 2
steady_start=$(date +%s%N)
ticks_start=$(ticks "$pylonix_pid")
sleep $((seconds - 4 - first_icon_ms / 1000))
ticks_end=$(ticks "$pylonix_pid")
steady_seconds=$(awk -v a="$steady_start" -v b="$(date +%s%N)" 'BEGIN { printf "%.1f", (b - a) / 1e9 }')
hz=$(getconf CLK_TCK)
wait "$app_pid" || true

cpu=$(awk -F': ' '/User time/ { u = $2 } /System time/ { s = $2 } END { printf "%.2f", u + s }' "$usage")
rss=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$usage")
echo "first tray icon after start: ${first_icon_ms} ms"
echo "CPU time over ${seconds} s: ${cpu} s ($(awk -v c="$cpu" -v s="$seconds" 'BEGIN { printf "%.3f", 100 * c / s }')% of one core)"
echo "peak resident memory: ${rss} MB"
awk -v t=$((ticks_end - ticks_start)) -v hz="$hz" -v s="$steady_seconds" 'BEGIN {
    printf "steady state (start-up excluded): %.2f s CPU over %.1f s (%.3f%% of one core)\n",
           t / hz, s, 100 * t / hz / s }'
