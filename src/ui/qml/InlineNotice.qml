import QtQuick

// A one-paragraph message; the tone's symbol and colour come with it. It grows to show the
// whole text.
Rectangle {
    id: notice
    property string text
    property string glyph
    property string tint: "secondary"

    implicitHeight: label.implicitHeight + 16
    radius: 10
    color: Theme.faded(tint, 0.08)

    SymbolIcon {
        id: icon
        x: 8
        y: 8
        glyph: notice.glyph
        color: Theme.color(notice.tint)
        font.pixelSize: Theme.caption2 + 3
    }
    PanelText {
        id: label
        combined: true
        x: icon.x + icon.width + 4
        y: 8
        width: notice.width - x - 8
        text: notice.text
        color: Theme.color(notice.tint)
        font.pixelSize: Theme.caption2
        wrapMode: Text.Wrap
    }
    Accessible.role: Accessible.StaticText
    Accessible.name: text
}
