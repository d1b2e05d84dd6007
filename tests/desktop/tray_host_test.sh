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
#   (plasmashell's system tray, with KWin and the watcher in kded5), gnome-shell (GNOME Shell
#   on X11 with the AppIndicator extension, which shows the label and also opens the item's
#   menu on a single left click; a double click activates the item)
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
    unset DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP
    server="-screen 0 1280x800x24"
    [ "$host" = gnome-shell ] && server="$server +extension GLX"  # a compositing shell
    exec xvfb-run -a -s "$server" dbus-run-session -- \
        "$0" --inside "$host" "$app" "$fixture" "$out" "$mode"
fi
host=$2 app=$3 fixture=$4 out=$5 mode=$6
. "$here/tray_hosts.sh"
. "$here/x_session.sh"
log=$HOME/app.log
# Per host: the button that shows the item's menu, where the menu's first entry lies below
# the click (lower in xfce4-panel's own menus than in the indicator plugin's, which overlaps
# the bar, and lower again in GNOME's), and the host's log.
menu_button=3 first_entry_dx=30 first_entry_dy=32 host_log=$HOME/$host.log
case $host in
    ayatana) menu_button=1 first_entry_dy=8 host_log=$HOME/xfce4-panel.log ;;
    gnome-shell) first_entry_dx=0 first_entry_dy=51 ;;
esac
trap stop_started EXIT
fail() {
    echo "FAIL: $*"
    import -window root "$out/failure.png" 2>/dev/null
    cp "$HOME"/*.log "$out/" 2>/dev/null  # the hosts' own logs
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
    pids+=("$host_pid" ${ayatana_pid:-} ${kwin_pid:-} ${kded_pid:-} ${system_bus_pid:-})
    within 30 wait_for_watcher_host 1 || fail "$host did not start its tray"
}
item_registered() { item_of_process_registered "$app_pid"; }

# GNOME's top bar is dark: the item is the leftmost light content in the bar's right part (the
# system menu's button lies beyond it, at the right edge). Prints its extent as WxH+X+Y.
gnome_item_extent() {
    import -window root "$HOME/strip.png" || return 1
    convert "$HOME/strip.png" -crop 375x32+860+0 +repage -colorspace gray -threshold 40% \
        -format "%@" info:
}

# The item's icon on the screen: whatever differs from the panel's background at the start of
# the bar along the top edge, where every host here but GNOME puts the item (left of any
# label); in GNOME's bar, the icon with the label beside it.
item_area=30x24+0+0
icon_centre() {
    local geometry w h x y
    if [ "$host" = gnome-shell ]; then
        geometry=$(gnome_item_extent) || return 1
        split_extent "$geometry"
        [ "$w" -ge 40 ] && [ "$w" -le 140 ] || return 1
        echo "$((860 + x + 8)) $((y + h / 2))"
        return
    fi
    import -window root "$HOME/strip.png" || return 1
    geometry=$(convert "$HOME/strip.png" -crop "$item_area" +repage -fuzz 20% -trim \
        -format "%@" info:)
    split_extent "$geometry"
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
if [ "$host" = gnome-shell ]; then
    within 30 desktop_shown || fail "GNOME Shell stayed in its overview"
    import -window root -crop 400x32+880+0 "$out/$host.png"
else
    import -window root -crop 320x26+0+0 "$out/$host.png"
fi
read -r x y < <(icon_centre)

if [ "$host" = gnome-shell ] && [ "$mode" != grab ]; then
    echo "== the label keeps the item's width as the figure changes"
    # The label is padded with figure spaces to the guide's width: "8.5 W" must take as much
    # room as "15.2 W". The bar is right-aligned, so the whole item's extent must not move.
    extent=$(gnome_item_extent)
    cp "$HOME/strip.png" "$HOME/before.png"
    set_power 15200000
    within 20 label_is "15.2 W" || fail "the label did not follow the battery: '$(item_label)'"
    redrawn() {
        gnome_item_extent >/dev/null &&
            [ "$(compare -metric AE "$HOME/before.png" "$HOME/strip.png" null: 2>&1)" != 0 ]
    }
    within 10 redrawn || fail "the bar did not show the new figure"
    [ "$(gnome_item_extent)" = "$extent" ] ||
        fail "the item's extent changed from $extent to $(gnome_item_extent) with the figure"
fi

click_first_menu_entry() {
    xdotool mousemove_relative "$first_entry_dx" "$first_entry_dy" sleep 0.3 click 1
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
rounds=3
[ "$host" = gnome-shell ] && rounds=5
for round in $(seq "$rounds"); do
    open_by_left_click
    within 20 panel_open || fail "click $round did not open the panel"
    close_by_escape
    sleep 0.6
done

if [ "$host" = gnome-shell ]; then
    echo "== a double click activates the item: the panel opens"
    xdotool mousemove "$x" "$y" sleep 0.3 click --repeat 2 --delay 80 1
    within 20 panel_open || fail "a double click did not open the panel"
    close_by_escape
    sleep 0.6
fi

echo "== the item's menu, through the host: its first entry opens the panel"
xdotool mousemove "$x" "$y" sleep 0.3 click "$menu_button"
if [ "$host" = gnome-shell ]; then
    within 10 gnome_menu_shown || fail "a right click showed no menu"
    import -window root -crop 260x190+1020+0 "$out/$host-menu.png"
else
    sleep 2
    import -window root "$out/$host-menu.png"
fi
click_first_menu_entry
within 20 panel_open || fail "the menu's first entry did not open the panel"
close_by_escape
grep "No such object path" "$host_log" && fail "$host could not read the item's menu"

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
    # Back with its icon (and label), not as a placeholder.
    within 30 shown_as_before || fail "the restarted host does not show the item as before"
done
sleep 5  # longer than the notice waits
grep -q "no system tray found" "$log" && fail "the no-tray notice flashed during the restart"
kill -0 "$app_pid" || fail "the application ended"
if [ "$host" = gnome-shell ]; then
    # The extension's errors about the item ("Argument two may not be null", a missing
    # IconAccessibleDesc) or in its code at all.
    errors='Argument two may not be null|IconAccessibleDesc'
    if grep -A4 'JS ERROR' "$host_log" | grep -q appindicators ||
        grep -q -E "$errors" "$host_log"; then
        grep -B2 -A6 -E "JS ERROR|$errors" "$host_log"
        fail "GNOME Shell logged errors about the item"
    fi
fi

# The picture of the item's part of the bar.
item_picture() {
    import -window root "$HOME/screen.png" &&
        convert "$HOME/screen.png" -crop "$item_area" +repage -format "%#" info:
}
picture_changed_from() { [ "$(item_picture)" != "$1" ]; }
# (Where the host shows the label, the icon carries no figure: the label was followed above.)
if [ "$host" != ayatana ] && [ "$host" != gnome-shell ]; then
    echo "== the figure changes: the host shows each new icon, and logs nothing about a menu"
    for power in 12340000 9120000 15780000 23900000; do
        before=$(item_picture)
        set_power "$power"
        within 20 picture_changed_from "$before" || fail "the host kept the old figure"
    done
    grep "DBusMenu disabled" "$host_log" && fail "$host found no menu on the item"
fi
echo "PASS"
