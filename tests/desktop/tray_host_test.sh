#!/usr/bin/env bash
# The real application in a real desktop tray host, on a virtual X server with a private
# session bus: the item appears with its icon, a left click opens the panel every time, the
# item's menu works through the host, and after a restart of the host the item is back with
# its content and no notice flashed. Exits 77 when the host or the X tools are not installed.
# With MODE "grab", the test is instead the panel's grab under the host's window manager
# (xfwm4 with xfce4-panel, KWin with Plasma): 20 openings by a left click on the item, each
# closed by a click on the desktop away from the bar.
# Usage: tray_host_test.sh HOST PYLONIX POWER_SUPPLY_FIXTURE OUTPUT_DIR [MODE]
#   HOST: xfce4-panel (its status tray), ayatana (the Ayatana indicator service in
#   xfce4-panel's indicator plugin, which shows the label and opens the item's menu on a left
#   click, as Ayatana indicators do), lxqt-panel (its status notifier plugin), plasma
#   (plasmashell's system tray, with KWin and the watcher in kded5)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != "--inside" ]; then
    host=$1 app=$2 fixture=$3 out=$4 mode=${5:-host}
    for tool in xvfb-run dbus-run-session dbus-send xdotool xwininfo import convert; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$out" "$work/run" && chmod 700 "$work/run"
    # The session bus starts services with its own environment: set it before it starts.
    export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.local/share \
        XDG_CACHE_HOME=$work/.cache XDG_RUNTIME_DIR=$work/run
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP
    exec xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- \
        "$0" --inside "$host" "$app" "$fixture" "$out" "$mode"
fi
host=$2 app=$3 fixture=$4 out=$5 mode=$6
. "$here/tray_hosts.sh"
. "$here/x_session.sh"
log=$HOME/app.log
# Per host: the button that shows the item's menu, where the menu's first entry lies below
# the click (lower in xfce4-panel's own menus than in the indicator plugin's, which overlaps
# the bar), and the host's log.
menu_button=3 first_entry_dy=32 host_log=$HOME/$host.log
case $host in
    ayatana) menu_button=1 first_entry_dy=8 host_log=$HOME/xfce4-panel.log ;;
esac
trap stop_started EXIT
fail() {
    echo "FAIL: $*"
    import -window root "$out/failure.png" 2>/dev/null
    echo "--- application output:"; cat "$log"
    echo "--- $host's output, its end:"; tail -n 20 "$host_log"
    exit 1
}
start_host() {
    if [ "$mode" = grab ] && [ "$host" = xfce4-panel ] && [ -z "${xfwm4_pid:-}" ]; then
        start_xfwm4 || { echo "SKIP: xfwm4 is not installed"; exit 77; }
        pids+=("$xfwm4_pid")
    fi
    "start_${host//-/_}"
    case $? in
        0) ;;
        77) echo "SKIP: $host is not installed"; exit 77 ;;
        *) fail "$host could not be started" ;;
    esac
    pids+=("$host_pid" ${ayatana_pid:-} ${kwin_pid:-} ${kded_pid:-})
    within 30 wait_for_watcher_host 1 || fail "$host did not start its tray"
}
item_registered() { registered_items | grep -q "StatusNotifierItem-$app_pid-"; }

# The item's icon on the screen: whatever differs from the panel's background at the start of
# the bar along the top edge, where every host here puts the item (left of any label).
item_area=30x24+0+0
icon_centre() {
    local geometry w h x y rest
    import -window root "$HOME/strip.png" || return 1
    geometry=$(convert "$HOME/strip.png" -crop "$item_area" +repage -fuzz 20% -trim \
        -format "%@" info:)
    w=${geometry%%x*} rest=${geometry#*x}
    h=${rest%%+*} rest=${rest#*+}
    x=${rest%%+*} y=${rest#*+}
    [ "$w" -ge 10 ] && [ "$w" -le 40 ] || return 1
    echo "$((x + w / 2)) $((y + h / 2))"
}
icon_shown() { icon_centre >/dev/null; }

# The panel: a visible top-level window titled exactly "Pylonix".
panel_open() {
    for id in $(xdotool search --onlyvisible --name '^Pylonix$' 2>/dev/null); do
        [ "$(xdotool getwindowname "$id")" = "Pylonix" ] && return 0
    done
    return 1
}
panel_closed() { ! panel_open; }

# A copy of the battery, whose power the test rewrites to change the figure.
battery=$HOME/power_supply
cp -r "$fixture" "$battery"
set_power() {
    sed "s/^POWER_SUPPLY_POWER_NOW=.*/POWER_SUPPLY_POWER_NOW=$1/" "$battery/BAT0/uevent" \
        >"$HOME/uevent.new"
    mv "$HOME/uevent.new" "$battery/BAT0/uevent"
}

echo "== $host starts, then the application"
start_host
PYLONIX_POWER_SUPPLY_ROOT=$battery "$app" >"$log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
within 30 item_registered || fail "the item was not registered with the watcher"
within 20 icon_shown || fail "the host shows no icon for the item"
import -window root -crop 320x26+0+0 "$out/$host.png"
read -r x y < <(icon_centre)

click_first_menu_entry() {
    xdotool mousemove_relative 30 "$first_entry_dy" sleep 0.3 click 1
}

# Opens the panel by a left click on the item: directly, or through the menu's first entry
# where the host shows the menu on a left click.
open_by_left_click() {
    xdotool mousemove "$x" "$y" sleep 0.3 click 1
    if [ "$host" = ayatana ]; then
        sleep 1.5
        click_first_menu_entry
    fi
}

# Under a window manager the grab follows the window's mapping: Escape is pressed again until
# the panel has it.
escape_closes_panel() {
    xdotool key Escape
    sleep 0.5
    panel_closed
}
close_by_escape() { within 10 escape_closes_panel || fail "Escape did not close the panel"; }

if [ "$mode" = grab ]; then
    echo "== 20 openings, each closed by a click on the desktop"
    closed=0
    for round in $(seq 20); do
        open_by_left_click
        within 20 panel_open || fail "click $round did not open the panel"
        sleep 0.5  # the user looks at the panel, then clicks away
        xdotool mousemove 900 600 sleep 0.1 click 1
        if within 5 panel_closed; then
            closed=$((closed + 1))
        else
            echo "opening $round: a click on the desktop left the panel open"
            close_by_escape
        fi
        sleep 0.4
    done
    echo "$closed of 20 openings closed by a click outside"
    [ "$closed" -eq 20 ] || fail "a click outside did not close the panel every time"
    echo "PASS"
    exit 0
fi

echo "== a left click opens the panel, every time"
for round in 1 2 3; do
    open_by_left_click
    within 20 panel_open || fail "click $round did not open the panel"
    close_by_escape
    sleep 0.6
done

echo "== the item's menu, through the host: its first entry opens the panel"
xdotool mousemove "$x" "$y" sleep 0.3 click "$menu_button"
sleep 2
import -window root "$out/$host-menu.png"
click_first_menu_entry
within 20 panel_open || fail "the menu's first entry did not open the panel"
close_by_escape
grep "No such object path" "$host_log" && fail "$host could not read the item's menu"

echo "== the host restarts (for Ayatana, the indicator service with the panel)"
kill "$host_pid" ${ayatana_pid:-}
wait "$host_pid" ${ayatana_pid:-} 2>/dev/null
start_host
within 30 item_registered || fail "the item did not register again"
within 20 icon_shown || fail "the restarted host shows no icon for the item"
sleep 5  # longer than the notice waits
grep -q "no system tray found" "$log" && fail "the no-tray notice flashed during the restart"
kill -0 "$app_pid" || fail "the application ended"

# The picture of the item's part of the bar.
item_picture() {
    import -window root "$HOME/screen.png" &&
        convert "$HOME/screen.png" -crop "$item_area" +repage -format "%#" info:
}
picture_changed_from() { [ "$(item_picture)" != "$1" ]; }
if [ "$host" != ayatana ]; then
    echo "== the figure changes: the host shows each new icon, and logs nothing about a menu"
    for power in 12340000 9120000 15780000 23900000; do
        before=$(item_picture)
        set_power "$power"
        within 20 picture_changed_from "$before" || fail "the host kept the old figure"
    done
    grep "DBusMenu disabled" "$host_log" && fail "$host found no menu on the item"
fi
echo "PASS"
