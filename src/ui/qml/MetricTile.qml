import QtQuick
import QtQuick.Controls

// A titled value with a symbol. The value keeps to one line: it shrinks to 80 % before it is
// cut short.
Rectangle {
    id: tile
    property string title
    property string value
    property string glyph
    property string tint: "primary"
    property string tooltip

    implicitHeight: Math.max(58, content.implicitHeight + 20)
    radius: 12
    color: Theme.color("tile")
    border.color: Theme.color("groupBorder")
    border.width: 1

    Row {
        id: content
        anchors.fill: parent
        anchors.margins: 10
        spacing: 10
        Rectangle {
            width: 28
            height: 28
            radius: 8
            color: Theme.faded(tile.tint, 0.12)
            SymbolIcon {
                anchors.centerIn: parent
                glyph: tile.glyph
                color: Theme.color(tile.tint)
                font.pixelSize: 16
            }
        }
        Column {
            width: content.width - 38
            spacing: 3
            PanelText {
                width: parent.width
                combined: true
                text: tile.title
                font.pixelSize: Theme.caption
                color: Theme.color("secondary")
                elide: Text.ElideRight
            }
            PanelText {
                id: valueText
                objectName: "value"
                width: parent.width
                height: Theme.body * 1.5
                combined: true
                text: tile.value
                font.pixelSize: Theme.body + 1
                font.weight: Font.DemiBold
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: Math.ceil((Theme.body + 1) * 0.8)
                elide: Text.ElideRight
                maximumLineCount: 1
                wrapMode: Text.NoWrap
            }
        }
    }
    HoverHandler { id: hover }
    ToolTip.visible: hover.hovered && tooltip.length > 0
    ToolTip.text: tooltip
    ToolTip.delay: 600

    Accessible.role: Accessible.StaticText
    Accessible.name: title + " " + value
    Accessible.description: tooltip
}
