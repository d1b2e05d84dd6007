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
