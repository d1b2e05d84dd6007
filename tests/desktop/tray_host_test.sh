#!/usr/bin/env bash
# The real application in a real desktop tray host, on a virtual X server with a private
# session bus: the item appears with its icon, a left click opens the panel every time, the
# item's menu works through the host, and after a restart of the host the item is back with
# its content and no notice flashed. Exits 77 when the host or the X tools are not installed.
# Usage: tray_host_test.sh HOST PYLONIX POWER_SUPPLY_FIXTURE OUTPUT_DIR
#   HOST: xfce4-panel (its status tray), ayatana (the Ayatana indicator service in
#   xfce4-panel's indicator plugin, which shows the label and opens the item's menu on a left
#   click, as Ayatana indicators do), gnome-shell (GNOME Shell on X11 with the AppIndicator
#   extension, which shows the label and also opens the item's menu on a single left click; a
#   double click activates the item)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != "--inside" ]; then
    host=$1 app=$2 fixture=$3 out=$4
    for tool in xvfb-run dbus-run-session dbus-send xdotool xwininfo import convert; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$out" "$work/run" && chmod 700 "$work/run"
    # The session bus starts services with its own environment: set it before it starts.
    export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.local/share \
        XDG_CACHE_HOME=$work/.cache XDG_RUNTIME_DIR=$work/run
    unset DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP
    server="-screen 0 1280x800x24"
    [ "$host" = gnome-shell ] && server="$server +extension GLX"  # a compositing shell
    exec xvfb-run -a -s "$server" dbus-run-session -- \
        "$0" --inside "$host" "$app" "$fixture" "$out"
fi
host=$2 app=$3 fixture=$4 out=$5
. "$here/tray_hosts.sh"
. "$here/x_session.sh"
log=$HOME/app.log
trap stop_started EXIT
fail() {
    echo "FAIL: $*"
    import -window root "$out/failure.png" 2>/dev/null
    cp "$HOME"/*.log "$out/" 2>/dev/null  # the hosts' own logs
    echo "--- application output:"; cat "$log"
    exit 1
}
start_host() {
    "start_${host//-/_}" || { echo "SKIP: $host is not installed"; exit 77; }
    pids+=("$host_pid" ${ayatana_pid:-} ${system_bus_pid:-})
    within 30 wait_for_watcher_host 1 || fail "$host did not start its tray"
}
# The watcher lists the item by the application's unique bus name (with the item's path, as some
# watchers add it) or by its well-known name.
item_registered() {
    local unique
    unique=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetNameOwner "string:org.kde.StatusNotifierItem-$app_pid-1" |
        sed -n 's/.*string "\(.*\)"/\1/p')
    [ -n "$unique" ] && registered_items |
        grep -q -E -e "^${unique//./\\.}([/@].*)?$" -e "StatusNotifierItem-$app_pid-"
}

# GNOME's top bar is dark: the item is the leftmost light content in the bar's right part (the
# system menu's button lies beyond it, at the right edge). Prints its extent as WxH+X+Y.
gnome_item_extent() {
    import -window root "$HOME/strip.png" || return 1
    convert "$HOME/strip.png" -crop 375x32+860+0 +repage -colorspace gray -threshold 40% \
        -format "%@" info:
}

# The item's icon on the screen: the dark plate in the light panel along the top edge; in
# GNOME's bar, the icon with the label beside it.
icon_centre() {
    local geometry w h x y rest
    if [ "$host" = gnome-shell ]; then
        geometry=$(gnome_item_extent) || return 1
        w=${geometry%%x*} rest=${geometry#*x}
        h=${rest%%+*} rest=${rest#*+}
        x=${rest%%+*} y=${rest#*+}
        [ "$w" -ge 40 ] && [ "$w" -le 140 ] || return 1
        echo "$((860 + x + 8)) $((y + h / 2))"
        return
    fi
    import -window root "$HOME/strip.png" || return 1
    # (Left of any label: the item is the panel's first.)
    geometry=$(convert "$HOME/strip.png" -crop 30x24+0+0 +repage -colorspace gray -negate \
        -threshold 80% -format "%@" info:)
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
# Escape closes the panel. It is pressed until it does: the window is mapped a moment before it
# has the keyboard, and a key pressed in between goes elsewhere.
escape_closes() {
    xdotool key Escape
    sleep 0.5
    panel_closed
}

# GNOME Shell starts in its overview, where windows are not shown: Escape leaves it for the
# desktop, whose top bar is black.
desktop_shown() {
    xdotool key Escape
    sleep 0.3
    import -window root "$HOME/screen.png" &&
        [ "$(convert "$HOME/screen.png" -format '%[pixel:p{400,5}]' info:)" = "srgb(0,0,0)" ]
}

# GNOME's menu under the item: a dark grey box where the desktop was.
gnome_menu_shown() {
    import -window root "$HOME/screen.png" || return 1
    local pixel
    pixel=$(convert "$HOME/screen.png" -format "%[fx:int(255*p{$x,$((y + 36))}.r)] \
%[fx:int(255*p{$x,$((y + 36))}.g)] %[fx:int(255*p{$x,$((y + 36))}.b)]" info:)
    read -r r g b <<<"$pixel"
    [ "$r" = "$g" ] && [ "$g" = "$b" ] && [ "$r" -ge 30 ] && [ "$r" -le 80 ]
}

# The item's label as the host reads it.
item_label() {
    dbus-send --session --print-reply --dest="org.kde.StatusNotifierItem-$app_pid-1" \
        /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierItem string:XAyatanaLabel | sed -n 's/.*string "\(.*\)"/\1/p'
}
label_is() { [ "$(item_label)" = "$1" ]; }

echo "== $host starts, then the application"
# A battery of the test's own, whose reading the test changes.
cp -r "$fixture" "$HOME/power_supply"
start_host
PYLONIX_POWER_SUPPLY_ROOT=$HOME/power_supply "$app" >"$log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
within 30 item_registered || fail "the item was not registered with the watcher"
within 20 icon_shown || fail "the host shows no icon for the item"
if [ "$host" = gnome-shell ]; then
    within 30 desktop_shown || fail "GNOME Shell stayed in its overview"
    import -window root -crop 400x32+880+0 "$out/$host.png"
else
    import -window root -crop 320x26+0+0 "$out/$host.png"
fi
read -r x y < <(icon_centre)

if [ "$host" = gnome-shell ]; then
    echo "== the label keeps the item's width as the figure changes"
    # The label is padded with figure spaces to the guide's width: "8.5 W" must take as much
    # room as "15.2 W". The bar is right-aligned, so the whole item's extent must not move.
    extent=$(gnome_item_extent)
    cp "$HOME/strip.png" "$HOME/before.png"
    sed -i 's/^POWER_SUPPLY_POWER_NOW=.*/POWER_SUPPLY_POWER_NOW=15200000/' \
        "$HOME/power_supply/BAT0/uevent"
    within 20 label_is "15.2 W" || fail "the label did not follow the battery: '$(item_label)'"
    redrawn() {
        gnome_item_extent >/dev/null &&
            [ "$(compare -metric AE "$HOME/before.png" "$HOME/strip.png" null: 2>&1)" != 0 ]
    }
    within 10 redrawn || fail "the bar did not show the new figure"
    [ "$(gnome_item_extent)" = "$extent" ] ||
        fail "the item's extent changed from $extent to $(gnome_item_extent) with the figure"
fi

# The item's menu drops from the panel's bar; its first entry sits lower in xfce4-panel's own
# menus than in the indicator plugin's, which overlaps the bar, and lower again in GNOME's.
click_first_menu_entry() {
    case $host in
        ayatana) xdotool mousemove_relative 30 8 sleep 0.3 click 1 ;;
        gnome-shell) xdotool mousemove_relative 0 51 sleep 0.3 click 1 ;;
        *) xdotool mousemove_relative 30 32 sleep 0.3 click 1 ;;
    esac
}

# Opens the panel by a left click on the item: directly, or through the menu's first entry
# where the host shows the menu on a left click.
open_by_left_click() {
    xdotool mousemove "$x" "$y" sleep 0.3 click 1
    case $host in
        ayatana)
            sleep 1.5
            click_first_menu_entry
            ;;
        gnome-shell)
            # The extension opens the item's menu on a single left click, every time (its
            # Event "opened" on the menu's root is all the application hears of it).
            within 10 gnome_menu_shown || fail "a left click showed no menu"
            click_first_menu_entry
            ;;
    esac
}

echo "== a left click opens the panel, every time"
rounds=3
[ "$host" = gnome-shell ] && rounds=5
for round in $(seq "$rounds"); do
    open_by_left_click
    within 20 panel_open || fail "click $round did not open the panel"
    within 10 escape_closes || fail "Escape did not close the panel"
    sleep 0.6
done

if [ "$host" = gnome-shell ]; then
    echo "== a double click activates the item: the panel opens"
    xdotool mousemove "$x" "$y" sleep 0.3 click --repeat 2 --delay 80 1
    within 20 panel_open || fail "a double click did not open the panel"
    within 10 escape_closes || fail "Escape did not close the panel"
    sleep 0.6
fi

echo "== the item's menu, through the host: its first entry opens the panel"
xdotool mousemove "$x" "$y" sleep 0.3 click "$([ "$host" = ayatana ] && echo 1 || echo 3)"
if [ "$host" = gnome-shell ]; then
    within 10 gnome_menu_shown || fail "a right click showed no menu"
    import -window root -crop 260x190+1020+0 "$out/$host-menu.png"
else
    sleep 2
    import -window root "$out/$host-menu.png"
fi
click_first_menu_entry
within 20 panel_open || fail "the menu's first entry did not open the panel"
within 10 escape_closes || fail "Escape did not close the panel"

# The item as the host shows it before a restart, to compare with afterwards.
shown_as_before() {
    if [ "$host" = gnome-shell ]; then [ "$(gnome_item_extent)" = "$extent" ]; else icon_shown; fi
}
[ "$host" = gnome-shell ] && extent=$(gnome_item_extent)

restarts=1
[ "$host" = gnome-shell ] && restarts=5
for restart in $(seq "$restarts"); do
    echo "== the host restarts ($restart of $restarts; for Ayatana, the indicator service too)"
    kill "$host_pid" ${ayatana_pid:-}
    wait "$host_pid" ${ayatana_pid:-} 2>/dev/null
    start_host
    within 30 item_registered || fail "the item did not register again"
    # Back with its icon and label, not as a placeholder.
    within 30 shown_as_before || fail "the restarted host does not show the item as before"
done
sleep 5  # longer than the notice waits
grep -q "no system tray found" "$log" && fail "the no-tray notice flashed during the restart"
kill -0 "$app_pid" || fail "the application ended"
if [ "$host" = gnome-shell ]; then
    # The extension's errors about the item ("Argument two may not be null", a missing
    # IconAccessibleDesc) or in its code at all.
    errors='Argument two may not be null|IconAccessibleDesc'
    if grep -A4 'JS ERROR' "$HOME/gnome-shell.log" | grep -q appindicators ||
        grep -q -E "$errors" "$HOME/gnome-shell.log"; then
        grep -B2 -A6 -E "JS ERROR|$errors" "$HOME/gnome-shell.log"
        fail "GNOME Shell logged errors about the item"
    fi
fi
echo "PASS"
