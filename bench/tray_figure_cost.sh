#!/usr/bin/env bash
# The tray application's CPU under a tray host that shows no label (xfce4-panel's status
# tray), so that the icon carries the figure: once with a battery whose reading changes the
# figure every half second, once with a steady one, each for SECONDS at the one-second
# refresh. The battery is a copy of a fixture tree that a loop here rewrites.
# Usage: bench/tray_figure_cost.sh [PYLONIX] [SECONDS]   (default: the release build, 60 s)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "${1:-}" != "--inside" ]; then
    app=$(realpath "${1:-build/release/src/app/pylonix}")
    seconds=${2:-60}
    for tool in xvfb-run dbus-run-session dbus-send xfce4-panel; do
        command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/bootstrap)"; exit 1; }
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # The session bus starts services with its own environment: set it before it starts.
    export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.local/share \
        XDG_CACHE_HOME=$work/.cache XDG_RUNTIME_DIR=$work/run
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- \
        "$0" --inside "$app" "$seconds" "$work"
    exit
fi
app=$2
seconds=$3
work=$4
. "$root/tests/desktop/tray_hosts.sh"
start_xfce4_panel
trap 'kill $host_pid 2>/dev/null || true' EXIT
wait_for_watcher_host 30 || { echo "the tray host did not start"; exit 1; }

battery=$work/power_supply
cp -r "$root/tests/fixtures/power_supply/thinkpad_discharging" "$battery"
uevent=$battery/BAT0/uevent
# Writes the battery's power (µW) as a whole new file, as the kernel shows it at once.
set_power() {
    sed "s/^POWER_SUPPLY_POWER_NOW=.*/POWER_SUPPLY_POWER_NOW=$1/" "$uevent" >"$uevent.new"
    mv "$uevent.new" "$uevent"
}

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# One run: the application for $seconds, the battery changing every half second or not;
# prints the CPU share of the steady part (from 5 s after the start to the end).
measure() {
    local changing=$1 writer_pid=
    set_power 8461000
    PYLONIX_POWER_SUPPLY_ROOT=$battery "$app" >/dev/null 2>&1 &
    local app_pid=$!
    if [ "$changing" = yes ]; then
        (
            powers=(8461000 12340000 9120000 15780000 7600000 23900000 11100000 8930000)
            i=0
            while :; do
                set_power "${powers[i % ${#powers[@]}]}"
                i=$((i + 1))
                sleep 0.5
            done
        ) &
        writer_pid=$!
    fi
    sleep 5
    # A figure nobody shows would cost nothing to show: the item must be with the host.
    item_of_process_registered "$app_pid" || { echo "the item was not registered"; exit 1; }
    local start_ticks start_ns
    start_ticks=$(ticks "$app_pid")
    start_ns=$(date +%s%N)
    local shown
    shown=$(registered_items | grep -c . || true)  # items the watcher lists
    sleep $((seconds - 5))
    local end_ticks end_ns
    end_ticks=$(ticks "$app_pid")
    end_ns=$(date +%s%N)
    [ -n "$writer_pid" ] && kill "$writer_pid"
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    awk -v t=$((end_ticks - start_ticks)) -v hz="$hz" -v a="$start_ns" -v b="$end_ns" \
        -v c="$changing" -v n="$shown" 'BEGIN {
        s = (b - a) / 1e9
        printf "battery changing: %s, items registered with the watcher: %d: %.2f s CPU over %.1f s = %.3f%% of one core\n",
               c, n, t / hz, s, 100 * t / hz / s }'
}

measure yes
measure no
