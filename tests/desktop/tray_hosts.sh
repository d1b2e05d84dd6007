# Starts the desktop tray hosts the desktop tests and the measuring scripts run against, each
# in the caller's X display and session bus, with its configuration under $HOME. Sourced.
# Each start_<host> function prints nothing, starts the host in the background, sets
# host_pid, and returns 77 when the host is not installed.

# Waits up to $1 seconds for the StatusNotifierWatcher to report a host.
wait_for_watcher_host() {
    local deadline=$((SECONDS + $1))
    while [ $SECONDS -lt $deadline ]; do
        if dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher \
            /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
            string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered \
            2>/dev/null | grep -q 'boolean true'; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# The service names the watcher lists.
registered_items() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher \
        /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:RegisteredStatusNotifierItems 2>/dev/null |
        grep -o 'string "[^"]*"' | sed 's/string "\(.*\)"/\1/'
}

# Splits an extent "WxH+X+Y" (ImageMagick's %@) into the caller's w, h, x and y.
split_extent() {
    local rest
    w=${1%%x*} rest=${1#*x}
    h=${rest%%+*} rest=${rest#*+}
    x=${rest%%+*} y=${rest#*+}
}

# Whether the watcher lists the item of the process $1: by its unique bus name (with the item's
# path, as some watchers add it) or by its well-known name.
item_of_process_registered() {
    local unique
    unique=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetNameOwner "string:org.kde.StatusNotifierItem-$1-1" 2>/dev/null |
        sed -n 's/.*string "\(.*\)"/\1/p')
    [ -n "$unique" ] && registered_items |
        grep -q -E -e "^${unique//./\\.}([/@].*)?$" -e "StatusNotifierItem-$1-"
}

# xfce4-panel with one panel along the top edge holding one plugin ($1, default the status
# tray, "systray").
start_xfce4_panel() {
    local plugin=${1:-systray}
    command -v xfce4-panel >/dev/null || return 77
    local dir="$HOME/.config/xfce4/xfconf/xfce-perchannel-xml"
    mkdir -p "$dir"
    cat >"$dir/xfce4-panel.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="$plugin"/>
  </property>
</channel>
XML
    xfce4-panel --disable-wm-check >"$HOME/xfce4-panel.log" 2>&1 &
    host_pid=$!
}

# The Ayatana indicator service (the watcher, which hands items to indicator renderers) shown
# by xfce4-panel's indicator plugin.
start_ayatana() {
    local service=/usr/libexec/ayatana-indicator-application/ayatana-indicator-application-service
    [ -x "$service" ] && [ -e /usr/share/xfce4/panel/plugins/indicator.desktop ] || return 77
    "$service" >"$HOME/ayatana.log" 2>&1 &
    ayatana_pid=$!
    start_xfce4_panel indicator || return
}

# lxqt-panel with one panel along the top edge holding its status notifier plugin (which
# brings its own watcher). Without an LXQt theme the panel is dark.
start_lxqt_panel() {
    command -v lxqt-panel >/dev/null || return 77
    mkdir -p "$HOME/.config/lxqt"
    cat >"$HOME/.config/lxqt/panel.conf" <<CONF
[General]
__userfile__=true

[panel1]
plugins=statusnotifier
position=Top
alignment=-1
panelSize=26
iconSize=22
desktop=0
hidable=false
width=100
width-percent=true

[statusnotifier]
type=statusnotifier
alignment=Left
CONF
    lxqt-panel >"$HOME/lxqt-panel.log" 2>&1 &
    host_pid=$!
}

# KDE Plasma: KWin as the window manager (without compositing), the watcher in kded5 (its
# module loaded as a Plasma session loads it) and plasmashell with one panel along the top
# edge holding the system tray, which shows status notifier items only (Plasma's own tray
# applets are marked known, so it does not add them). KWin and kded5 stay up when the shell is
# started again, and the shell then keeps the configuration it wrote itself. Needs `within`
# (x_session.sh).
start_plasma() {
    for tool in plasmashell kwin_x11 kded5; do command -v "$tool" >/dev/null || return 77; done
    [ -d /usr/share/plasma/shells/org.kde.plasma.desktop ] || return 77
    if [ -z "${kded_pid:-}" ]; then
        KWIN_COMPOSE=N kwin_x11 >"$HOME/kwin.log" 2>&1 &
        kwin_pid=$!
        kded5 >"$HOME/kded5.log" 2>&1 &
        kded_pid=$!
        within 30 dbus-send --session --print-reply --dest=org.kde.kded5 /kded \
            org.kde.kded5.loadModule string:statusnotifierwatcher || return 1
        mkdir -p "$HOME/.config"
        cat >"$HOME/.config/plasma-org.kde.plasma.desktop-appletsrc" <<CONF
[Containments][1]
formfactor=2
location=3
lastScreen=0
plugin=org.kde.panel

[Containments][1][General]
AppletOrder=2

[Containments][1][Applets][2]
plugin=org.kde.plasma.systemtray

[Containments][1][Applets][2][Configuration]
SystrayContainmentId=3

[Containments][3]
formfactor=2
location=3
lastScreen=0
plugin=org.kde.plasma.private.systemtray

[Containments][3][General]
extraItems=
knownItems=$(cd /usr/share/plasma/plasmoids && ls -d org.kde.* | paste -sd,)
CONF
    fi
    QT_QUICK_BACKEND=software plasmashell --no-respawn >"$HOME/plasma.log" 2>&1 &
    host_pid=$!
}

# xfwm4, XFCE's window manager, without its compositor.
start_xfwm4() {
    command -v xfwm4 >/dev/null || return 77
    xfwm4 --compositor=off --sm-client-disable >"$HOME/xfwm4.log" 2>&1 &
    xfwm4_pid=$!
}

# A system bus of the session's own (GNOME Shell ends at start without one): everything
# allowed, no services to start, its socket under $HOME. Started once; sets system_bus_pid and
# exports DBUS_SYSTEM_BUS_ADDRESS.
start_private_system_bus() {
    if [ -n "${system_bus_pid:-}" ] && kill -0 "$system_bus_pid" 2>/dev/null; then return 0; fi
    local socket="$HOME/system_bus_socket"
    cat >"$HOME/system-bus.conf" <<XML
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
XML
    dbus-daemon --config-file="$HOME/system-bus.conf" --nofork --nopidfile \
        >"$HOME/system-bus.log" 2>&1 &
    system_bus_pid=$!
    export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$socket"
    local deadline=$((SECONDS + 10))
    until dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetId >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

# sway on a headless output of 1280 × 800 (software rendering, no input devices), with XWayland
# and waybar along the top holding its tray alone, on a light background where the item's dark
# plate can be found. Once up, sway writes its environment (WAYLAND_DISPLAY, SWAYSOCK, DISPLAY)
# to $HOME/sway.env. Sway refuses to run as root.
start_sway() {
    command -v sway >/dev/null && command -v waybar >/dev/null || return 77
    mkdir -p "$XDG_CONFIG_HOME/sway" "$XDG_CONFIG_HOME/waybar"
    cat >"$XDG_CONFIG_HOME/sway/config" <<CONFIG
output HEADLESS-1 resolution 1280x800 position 0 0
xwayland enable
exec env >"$HOME/sway.env.part" && mv "$HOME/sway.env.part" "$HOME/sway.env"
bar {
    swaybar_command waybar
}
CONFIG
    cat >"$XDG_CONFIG_HOME/waybar/config" <<'JSON'
{ "layer": "top", "position": "top", "height": 26, "modules-right": ["tray"],
  "tray": { "icon-size": 22, "spacing": 4 } }
JSON
    cat >"$XDG_CONFIG_HOME/waybar/style.css" <<'CSS'
* { font-family: sans-serif; font-size: 12px; }
window#waybar { background: #e0e0e0; }
CSS
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway >"$HOME/sway.log" 2>&1 &
    host_pid=$!
}

# GNOME's AppIndicator extension, the watcher and host of GNOME Shell's tray items.
gnome_appindicator=ubuntu-appindicators@ubuntu.com

# Enables the extensions $@ in GNOME Shell by a session mode of our own, the way distributions
# enable the extensions they ship: a mode file ("pylonix-test") that inherits the ordinary
# "user" mode and lists them in "enabledExtensions", under $HOME/.gnome-shell-data, which the
# caller puts first in $XDG_DATA_DIRS for the shell alone. This depends on no settings backend
# (dconf's service, a keyfile) and on no user setting (`enabled-extensions`,
# `disable-user-extensions`), and it holds across restarts.
write_gnome_shell_mode() {
    local modes="$HOME/.gnome-shell-data/gnome-shell/modes" list
    mkdir -p "$modes"
    list=$(printf '"%s", ' "$@")
    printf '{ "parentMode": "user", "enabledExtensions": [%s] }\n' "${list%, }" \
        >"$modes/pylonix-test.json"
}

# GNOME Shell 43 on X11 (its own window manager and compositor, so the X server needs GLX;
# Mesa draws in software) with the AppIndicator extension, which is both the watcher and the
# host and shows labels. Called again, it replaces the running shell, as `--replace` does.
start_gnome_shell() {
    command -v gnome-shell >/dev/null && command -v dbus-daemon >/dev/null &&
        [ -f "/usr/share/gnome-shell/extensions/$gnome_appindicator/metadata.json" ] || return 77
    start_private_system_bus || return 77
    write_gnome_shell_mode "$gnome_appindicator"
    XDG_DATA_DIRS="$HOME/.gnome-shell-data:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}" \
        LIBGL_ALWAYS_SOFTWARE=1 \
        gnome-shell --x11 --replace --mode=pylonix-test >>"$HOME/gnome-shell.log" 2>&1 &
    host_pid=$!
}

# GNOME Shell as a headless Wayland compositor (one virtual monitor of 1280 × 800, Wayland
# display "wayland-pylonix") with XWayland and the AppIndicator extension, on a private system
# bus. $@: more extensions to enable (uuids, installed under $XDG_DATA_HOME).
start_gnome_shell_wayland() {
    command -v gnome-shell >/dev/null && command -v Xwayland >/dev/null &&
        [ -f "/usr/share/gnome-shell/extensions/$gnome_appindicator/metadata.json" ] || return 77
    start_private_system_bus || return 77
    write_gnome_shell_mode "$gnome_appindicator" "$@"
    XDG_DATA_DIRS="$HOME/.gnome-shell-data:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}" \
        gnome-shell --headless --wayland --virtual-monitor 1280x800 \
        --wayland-display=wayland-pylonix --mode=pylonix-test >"$HOME/gnome-shell.log" 2>&1 &
    host_pid=$!
}
