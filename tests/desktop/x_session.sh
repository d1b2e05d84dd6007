# Sourced by the scripts that drive the application under Xvfb: the processes they start
# (`pids`, stopped by `stop_started`), waiting for a condition, and the XEmbed tray (`trayer`)
# with the application's icon docked in it.

pids=()
stop_started() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}

# Waits up to $1 seconds for a command to succeed (sanitizer builds on a busy machine are slow
# to start).
within() {
    local deadline=$((SECONDS + $1))
    shift
    while [ "$SECONDS" -lt "$deadline" ]; do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    return 1
}

# The absolute position of the docked tray icon: Qt names its XEmbed window after the program.
icon_position() {
    xwininfo -root -tree | awk '/"pylonix": \("pylonix" "pylonix"\)/ { print $(NF) }' |
        sed -n 's/^+\([0-9-]*\)+\([0-9-]*\)$/\1 \2/p' | head -n 1
}
icon_docked() { [ -n "$(icon_position)" ]; }
tray_ready() { xwininfo -root -tree | grep -q '("panel" "trayer")'; }
