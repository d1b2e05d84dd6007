#!/usr/bin/env bash
# The real application in a headless Wayland session, started as the user's desktop would start
# it: with DISPLAY (X11 through XWayland, the program's own choice) and without it (a native
# Wayland client through Qt's Wayland platform). Each time: the tray item appears, clicking it
# opens the panel as a window of its own size (floating beside the user's window, never tiled,
# undecorated, not taller than the screen's room), and a click on the user's window closes it.
# With sway, also: two activations within the double-click interval open the panel once, the
# item's menu in waybar opens it, the item comes back when waybar restarts, and a platform
# that cannot load costs one line and a fallback, never an abort. On GNOME, whether a click on the empty desktop closes the panel is
# printed, not required (no client learns of it). Exits 77 when the compositor or the tools
# are not installed.
# Usage: wayland_session_test.sh COMPOSITOR PYLONIX POWER_SUPPLY_FIXTURE OUTPUT_DIR
#   COMPOSITOR: gnome-shell (headless, with the AppIndicator extension and a private system
#   bus; the test enables an extension of its own that lets it evaluate code in the shell, to
#   click and to read the windows), sway (headless, with waybar's tray). Started as root, the
#   session runs as "nobody".
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != "--inside" ]; then
    compositor=$1 app=$2 fixture=$3 out=$4
    case $compositor in
        gnome-shell) tools=(gnome-shell Xwayland gdbus) ;;
        sway) tools=(sway swaymsg waybar grim python3 convert) ;;
        *) echo "unknown compositor $compositor"; exit 2 ;;
    esac
    for tool in dbus-run-session dbus-monitor xmessage "${tools[@]}"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$out" "$work/run" "$work/shots" && chmod 700 "$work/run"
    as_user=()
    # (Sway refuses root; GNOME Shell warns of it in a notification.) The user must reach the
    # program, the fixture and these scripts where they are.
    if [ "$(id -u)" -eq 0 ]; then
        nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
        if "${nobody[@]}" test -x "$app" -a -r "$fixture" -a -r "$0" -a -r "$here/tray_hosts.sh"
        then
            chown -R nobody:nogroup "$work"
            as_user=("${nobody[@]}")
        elif [ "$compositor" = sway ]; then
            echo "SKIP: sway refuses root, and user nobody cannot reach $app"
            exit 77
        fi
    fi
    # A clean environment; the session bus starts services with it, so it is set before.
    "${as_user[@]}" env -i PATH="$PATH" LANG=C.UTF-8 HOME="$work" \
        XDG_CONFIG_HOME="$work/.config" XDG_DATA_HOME="$work/.local/share" \
        XDG_CACHE_HOME="$work/.cache" XDG_RUNTIME_DIR="$work/run" \
        ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} \
        ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
        dbus-run-session -- "$0" --inside "$compositor" "$app" "$fixture" "$work/shots"
    status=$?
    cp "$work"/shots/*.png "$out/" 2>/dev/null
    exit $status
fi
compositor=$2 app=$3 fixture=$4 shots=$5
. "$here/tray_hosts.sh"
. "$here/x_session.sh"
trap stop_started EXIT
log=$HOME/app.log
# The activations the host sent, with their points, as the item received them.
host_calls() {
    echo "== what $compositor sent"
    grep -A2 'member=Activate' "$HOME/calls.log" | grep -o 'int32 [-0-9]*' | paste -d ' ' - - |
        sort | uniq -c | sed 's/^ */Activate: /'
}
fail() {
    echo "FAIL: $*"
    host_calls
    echo "--- windows:"; windows
    screenshot "$shots/failure.png"
    echo "--- application output:"; cat "$log"
    echo "--- $compositor output (last lines):"; tail -n 20 "$HOME/$compositor.log"
    exit 1
}

# What differs between the compositors: clicking, the windows, the item's place, screenshots.
if [ "$compositor" = gnome-shell ]; then
    # Returns the value of a JavaScript expression evaluated in the shell (unsafe mode, which
    # the test's extension turns on), without gdbus's quoting.
    shell_eval() {
        local reply
        reply=$(gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
            --method org.gnome.Shell.Eval "$1") || return 1
        [[ $reply == "(true, "* ]] || return 1
        reply=${reply#"(true, '"}
        reply=${reply%"')"}
        echo "${reply//\"/}"
    }
    # click X Y [COUNT]: a virtual pointer of the shell's moves there and clicks.
    click() {
        shell_eval "const C = imports.gi.Clutter;
            global._testPointer ??= C.get_default_backend().get_default_seat()
                .create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
            const p = global._testPointer, now = () => GLib.get_monotonic_time();
            p.notify_absolute_motion(now(), $1, $2);
            for (let i = 0; i < ${3:-1}; i++) {
                p.notify_button(now(), C.BUTTON_PRIMARY, C.ButtonState.PRESSED);
                p.notify_button(now(), C.BUTTON_PRIMARY, C.ButtonState.RELEASED);
            }
            'clicked'" >/dev/null
    }
    # One line per window: title x y width height, then its traits.
    windows() {
        shell_eval "global.get_window_actors().map(a => a.meta_window)
            .filter(w => w.get_window_type() !== Meta.WindowType.DESKTOP && w.get_title() !== 'gnome-shell')
            .map(w => { const r = w.get_frame_rect();
                return [w.get_title(), r.x, r.y, r.width, r.height,
                    w.get_client_type() === Meta.WindowClientType.WAYLAND ? 'wayland' : 'x11',
                    'type=' + w.get_window_type(), w.decorated ? 'decorated' : 'undecorated',
                    w.is_skip_taskbar() ? 'skip-taskbar' : 'in-taskbar',
                    w.is_above() ? 'above' : 'not-above', w.has_focus() ? 'focused' : ''].join(' '); })
            .join('|')" | tr '|' '\n'
    }
    item_centre() {
        shell_eval "Object.keys(Main.panel.statusArea).filter(k => k.startsWith('appindicator-'))
            .map(k => { const a = Main.panel.statusArea[k], [x, y] = a.get_transformed_position();
                return [Math.round(x + a.width / 2), Math.round(y + a.height / 2)].join(' '); })[0]"
    }
    screenshot() {
        gdbus call --session --dest org.gnome.Shell.Screenshot \
            --object-path /org/gnome/Shell/Screenshot \
            --method org.gnome.Shell.Screenshot.Screenshot false false "$1" >/dev/null
    }
    # Two clicks: the AppIndicator extension shows the item's menu on one and sends
    # `Activate` on a double click.
    open_clicks=2
    work_area() {
        shell_eval "const r = global.display.get_workspace_manager().get_active_workspace()
            .get_work_area_for_monitor(0); [r.x, r.y, r.width, r.height].join(' ')"
    }
else
    # One virtual pointer for the whole session: a client binds its pointer only once the seat
    # has one, and would miss the clicks of a pointer made for them.
    start_pointer() {
        mkfifo "$HOME/pointer"
        python3 "$here/wayland_pointer.py" <"$HOME/pointer" >"$HOME/pointer.log" 2>&1 &
        pids+=($!)
        exec {pointer}>"$HOME/pointer"
        within 20 grep -q ready "$HOME/pointer.log" || fail "no virtual pointer"
    }
    # Moves the virtual pointer to ($1, $2) and clicks $3 times (default once), then waits
    # until the pointer has done all of it.
    click() {
        local want
        want=$(($(grep -c done "$HOME/pointer.log") + 1 + ${3:-1}))
        {
            echo "move $1 $2"
            for ((i = 0; i < ${3:-1}; i++)); do echo click; done
        } >&"$pointer"
        within 10 eval '[ "$(grep -c done "$HOME/pointer.log")" -ge '"$want"' ]' ||
            fail "the virtual pointer did not act"
    }
    windows() {
        swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node, floating=False):
    if node["type"] in ("con", "floating_con") and node.get("name"):
        r = node["rect"]
        print(node["name"], r["x"], r["y"], r["width"], r["height"], node.get("shell"),
              "floating" if floating else "tiled", "border=" + node.get("border", ""),
              "focused" if node.get("focused") else "")
    for child in node.get("nodes", []): walk(child)
    for child in node.get("floating_nodes", []): walk(child, True)
walk(json.load(sys.stdin))'
    }
    # The item in waybar: the dark plate in the light bar's right end.
    item_centre() {
        local geometry w h x y
        grim -g "1180,0 100x26" "$HOME/bar.png" || return 1
        geometry=$(convert "$HOME/bar.png" -colorspace gray -negate -threshold 70% \
            -format "%@" info:)
        split_extent "$geometry"
        [ "$w" -ge 10 ] && [ "$w" -le 40 ] || return 1
        echo "$((1180 + x + w / 2)) $((y + h / 2))"
    }
    screenshot() { grim "$1"; }
    open_clicks=1
    work_area() {
        swaymsg -t get_workspaces | python3 -c '
import json, sys
r = [w for w in json.load(sys.stdin) if w["focused"]][0]["rect"]
print(r["x"], r["y"], r["width"], r["height"])'
    }
fi

panel() { windows | grep '^Pylonix '; }
panel_open() { panel >/dev/null; }
panel_closed() { ! panel_open; }
item_registered() { item_of_process_registered "$app_pid"; }
item_shown() { [ -n "$(item_centre)" ]; }

echo "== $compositor starts"
mkdir -p "$XDG_DATA_HOME"
if [ "$compositor" = gnome-shell ]; then
    # The test's extension: unsafe mode, in which the shell evaluates code sent over D-Bus.
    extension=$XDG_DATA_HOME/gnome-shell/extensions/pylonix-test@pylonix.test
    mkdir -p "$extension"
    cat >"$extension/metadata.json" <<'JSON'
{ "uuid": "pylonix-test@pylonix.test", "name": "Pylonix test access",
  "description": "Lets the desktop test evaluate code in the shell", "shell-version": ["43"] }
JSON
    cat >"$extension/extension.js" <<'JS'
function init() {
    return {
        enable() { global.context.unsafe_mode = true; },
        disable() { global.context.unsafe_mode = false; },
    };
}
JS
    start_gnome_shell_wayland pylonix-test@pylonix.test ||
        { echo "SKIP: GNOME Shell or its AppIndicator extension is not installed"; exit 77; }
    pids+=("$host_pid" "$system_bus_pid")
    export WAYLAND_DISPLAY=wayland-pylonix
    shell_up() { [ "$(shell_eval "Main.layoutManager._startingUp ? 'starting' : 'up'")" = up ]; }
    within 90 shell_up || fail "GNOME Shell did not start"
    within 30 wait_for_watcher_host 1 || fail "the AppIndicator extension hosts no tray"
    # The shell starts in the overview when there are no windows; the session's notices
    # (no screen lock without GDM) would cover the screenshots.
    shell_eval "Main.overview.hide(); Main.messageTray.bannerBlocked = true; 'ok'" >/dev/null
    DISPLAY=$(shell_eval 'GLib.getenv("DISPLAY")') XAUTHORITY=$(shell_eval 'GLib.getenv("XAUTHORITY")')
    export DISPLAY XAUTHORITY
else
    start_sway || { echo "SKIP: sway or waybar is not installed"; exit 77; }
    pids+=("$host_pid")
    within 60 test -s "$HOME/sway.env" || fail "sway did not start"
    eval "export $(grep -E '^(WAYLAND_DISPLAY|SWAYSOCK|DISPLAY)=' "$HOME/sway.env" | tr '\n' ' ')"
    within 30 wait_for_watcher_host 1 || fail "waybar hosts no tray"
    start_pointer
fi
read -r area_x area_y area_w area_h < <(work_area)
echo "work area: ${area_w}x${area_h} at $area_x,$area_y"

# The user's window, which the panel must leave as it is.
xmessage -geometry 600x400 "the user's window" >/dev/null 2>&1 &
pids+=($!)
within 30 eval 'windows | grep -q "^xmessage "' || fail "the user's window did not appear"
sleep 1
read -r _ user_x user_y user_w user_h _ < <(windows | grep '^xmessage ')
echo "the user's window: ${user_w}x$user_h at $user_x,$user_y"

# Activations the host sends, as the item receives them.
dbus-monitor "type='method_call',interface='org.kde.StatusNotifierItem'" >"$HOME/calls.log" 2>&1 &
pids+=($!)

# A click on the user's window beside the open panel.
click_users_window() {
    local x y w
    read -r _ x y w _ < <(panel)
    if [ "$x" -gt $((user_x + 20)) ]; then
        click $((user_x + 10)) $((user_y + user_h / 2))
    else
        click $((user_x + user_w - 10)) $((user_y + user_h / 2))
    fi
}

# start_app NAME: the application, until the compositor shows its item at item_x item_y.
start_app() {
    PYLONIX_PANEL_TIMING=1 PYLONIX_POWER_SUPPLY_ROOT=$fixture "$app" >"$log" 2>&1 &
    app_pid=$!
    pids+=("$app_pid")
    within 60 item_registered || fail "$1: the item was not registered with the watcher"
    within 30 item_shown || fail "$1: $compositor shows no item"
    read -r item_x item_y < <(item_centre)
    echo "$1: the item at $item_x,$item_y"
    sleep 1
}

# check_session NAME: the application as started with the current environment: the item
# appears, a click on it opens the panel (screenshot NAME.png), and a click on the user's
# window closes it.
check_session() {
    local name=$1
    start_app "$name"
    click "$item_x" "$item_y" "$open_clicks"
    within 30 panel_open || fail "$name: a click on the item did not open the panel"
    within 30 grep -q "panel first frame" "$log" || fail "$name: the panel drew no frame"
    sleep 2
    screenshot "$shots/wayland-$compositor-$name.png"
    local title x y w h traits
    read -r title x y w h traits < <(panel)
    echo "$name: the panel ${w}x$h at $x,$y ($traits)"
    echo "$name: windows: $(windows | tr '\n' ';')"
    [ "$w" -eq 360 ] || fail "$name: the panel is $w pixels wide, not 360"
    # Not taller than the room the bars leave, less the panel's margin of 60.
    [ "$h" -le $((area_h - 60)) ] || fail "$name: the panel is $h pixels tall in ${area_h}"
    [[ $traits != *" decorated"* && $traits != *border=normal* ]] ||
        fail "$name: the panel has a title bar"
    [[ $traits != *tiled* ]] || fail "$name: the panel was tiled"
    windows | grep -q "^xmessage $user_x $user_y $user_w $user_h " ||
        fail "$name: the user's window moved or changed its size: $(windows | grep '^xmessage ')"
    if [ "$name" = xwayland ] && [ "$compositor" = gnome-shell ]; then
        # X11 places it: against the top bar, under the item.
        [ "$y" -eq "$area_y" ] && [ "$x" -le "$item_x" ] && [ $((x + w)) -ge "$item_x" ] ||
            fail "$name: the panel is not under the item"
    fi
    if [ "$compositor" = gnome-shell ]; then
        # The empty desktop, right of the user's window and below or left of the panel: no
        # window takes the click, and no client learns of it (observed, not required).
        click 800 770
        sleep 3
        if panel_open; then
            echo "$name: observed: a click on the empty desktop leaves the panel open"
        else
            echo "$name: observed: a click on the empty desktop closes the panel"
            click "$item_x" "$item_y" "$open_clicks"
            within 30 panel_open || fail "$name: a click on the item did not open the panel again"
        fi
    fi
    click_users_window
    within 20 panel_closed || fail "$name: a click on the user's window did not close the panel"
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null
}

echo "== with DISPLAY: X11 through XWayland"
check_session xwayland
echo "== without DISPLAY: a native Wayland client"
x_display=$DISPLAY
unset DISPLAY
check_session native
export DISPLAY=$x_display

if [ "$compositor" = sway ]; then
    echo "== two activations within the double-click interval open the panel once"
    start_app xwayland
    click "$item_x" "$item_y" 2
    within 30 panel_open || fail "a double click closed the panel it opened"
    sleep 1
    panel_open || fail "a double click closed the panel it opened"
    click_users_window
    within 20 panel_closed || fail "a click on the user's window did not close the panel"

    echo "== the item's menu in waybar: its first entry opens the panel"
    grim -g "960,0 320x26" "$shots/tray-waybar.png"
    echo "move $item_x $item_y" >&"$pointer"
    echo rightclick >&"$pointer"
    sleep 2
    grim -g "940,0 340x110" "$shots/tray-waybar-menu.png"
    # The menu drops from the pointer, shifted left to stay on the screen.
    click $((item_x - 60)) $((item_y + 17))
    within 30 panel_open || fail "the menu's first entry did not open the panel"
    click_users_window
    within 20 panel_closed || fail "a click on the user's window did not close the panel"

    echo "== waybar restarts: the item is back, and no notice came up"
    watcher_owner() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.GetNameOwner string:org.kde.StatusNotifierWatcher 2>/dev/null |
            grep -o '":[^"]*"'
    }
    old_owner=$(watcher_owner)
    waybar_pid=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.kde.StatusNotifierWatcher |
        awk '/uint32/ { print $2 }')
    kill "$waybar_pid"
    waybar >"$HOME/waybar.log" 2>&1 &
    pids+=($!)
    within 30 eval '[ -n "$(watcher_owner)" ] && [ "$(watcher_owner)" != "$old_owner" ]' ||
        fail "waybar did not come back"
    within 30 item_registered || fail "the item did not register again"
    within 30 item_shown || fail "the restarted waybar shows no item"
    sleep 5  # longer than the notice waits
    grep -q "no system tray found" "$log" && fail "the no-tray notice flashed during the restart"
    kill -0 "$app_pid" || fail "the application ended"
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null

    echo "== a platform that cannot load: one line and a fallback"
    # (As QT_QPA_PLATFORM=wayland without Qt's Wayland plugin.)
    for session in xwayland native; do
        without=()
        [ "$session" = native ] && without=(-u DISPLAY)
        env "${without[@]}" QT_QPA_PLATFORM=nonexistent PYLONIX_POWER_SUPPLY_ROOT="$fixture" \
            "$app" >"$log" 2>&1 &
        app_pid=$!
        pids+=("$app_pid")
        within 60 item_registered || fail "$session: no fallback: the item never appeared"
        kill "$app_pid"
        wait "$app_pid" 2>/dev/null
        grep -i -E 'platform|plugin' "$log" >"$HOME/lines"
        echo "$session: $(cat "$HOME/lines")"
        [ "$(wc -l <"$HOME/lines")" -eq 1 ] &&
            grep -q '^pylonix: the Qt platform "nonexistent" could not be loaded; using' \
                "$HOME/lines" || fail "$session: not one line about the platform"
    done
    # Without any display, nothing can show the panel: one line and status 1, not Qt's abort.
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=nonexistent \
        PYLONIX_POWER_SUPPLY_ROOT="$fixture" "$app" >"$log" 2>&1
    status=$?
    cat "$log"
    [ "$status" -eq 1 ] && grep -q '^pylonix: no Qt platform could be loaded' "$log" ||
        fail "without any display: status $status"
fi

host_calls
echo "PASS"
