pragma Singleton
import QtQuick

// Shades, type sizes and families of the panel. Views name colours ("green", "secondary");
// this is the only place that knows what they look like.
QtObject {
    // Chinese text; its digits are tabular, so changing figures keep their width.
    readonly property string textFamily: "Noto Sans CJK SC"
    readonly property string symbolFamily: "Material Icons"

    // Text styles, in points.
    readonly property real title3: 16
    readonly property real headline: 14
    readonly property real body: 13
    readonly property real subheadline: 12
    readonly property real caption: 11
    readonly property real caption2: 10

    // The shade of every colour and surface name in the desktop's appearance; the panel hands
    // over its bridge's palette.
    property var palette: ({})
    readonly property color windowBackground: color("window")
    readonly property color primary: color("primary")

    function color(name) {
        const shade = palette[name]
        if (shade !== undefined)
            return shade
        return palette["primary"] !== undefined ? palette["primary"] : Qt.rgba(0, 0, 0, 0.85)
    }

    // `from` moved towards `to` by `progress` (0 to 1), channel by channel.
    function blend(from, to, progress) {
        return Qt.rgba(from.r + (to.r - from.r) * progress, from.g + (to.g - from.g) * progress,
                       from.b + (to.b - from.b) * progress, from.a + (to.a - from.a) * progress)
    }

    // `name`'s colour at `opacity`, for fills and strokes.
    function faded(name, opacity) {
        const c = color(name)
        return Qt.rgba(c.r, c.g, c.b, c.a * opacity)
    }
}
