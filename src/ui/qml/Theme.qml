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

    readonly property color windowBackground: "#f4f4f6"
    readonly property color primary: Qt.rgba(0, 0, 0, 0.85)

    function color(name) {
        switch (name) {
        case "green": return Qt.rgba(0.16, 0.65, 0.27, 1)
        case "blue": return Qt.rgba(0, 0.48, 1, 1)
        case "orange": return Qt.rgba(0.94, 0.55, 0, 1)
        case "red": return Qt.rgba(1, 0.23, 0.19, 1)
        case "indigo": return Qt.rgba(0.35, 0.34, 0.84, 1)
        case "secondary": return Qt.rgba(0, 0, 0, 0.5)
        case "tertiary": return Qt.rgba(0, 0, 0, 0.3)
        default: return primary
        }
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
