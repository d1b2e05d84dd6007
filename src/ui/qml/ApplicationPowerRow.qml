import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// One application: icon, name and detail, watts. Read as one element; nothing in it animates.
Item {
    id: row
    required property var model   // one of the section's rows
    objectName: "application-row"

    implicitHeight: line.implicitHeight + 10

    RowLayout {
        id: line
        x: 0
        y: 5
        width: row.width
        spacing: 9

        Item {
            Layout.preferredWidth: row.model.iconSize
            Layout.preferredHeight: row.model.iconSize
            Accessible.ignored: true
            Image {
                objectName: "application-icon"
                anchors.fill: parent
                visible: row.model.hasIcon
                source: row.model.iconSource
                sourceSize.width: row.model.iconSize * 2
                sourceSize.height: row.model.iconSize * 2
                fillMode: Image.Stretch
                smooth: true
                mipmap: true
                asynchronous: false
            }
            SymbolIcon {
                objectName: "application-icon-fallback"
                anchors.centerIn: parent
                visible: !row.model.hasIcon
                glyph: row.model.fallbackglyph
                color: Theme.color("secondary")
                font.pixelSize: row.model.iconSize
            }
        }
        ColumnLayout {
            spacing: 2
            Layout.fillWidth: true
            PanelText {
                objectName: "application-name"
                combined: true
                text: row.model.name
                font.pixelSize: Theme.subheadline
                elide: Text.ElideMiddle
                maximumLineCount: 1
                Layout.fillWidth: true
            }
            PanelText {
                objectName: "application-detail"
                combined: true
                text: row.model.detailText
                font.pixelSize: Theme.caption2
                color: Theme.color("secondary")
                Layout.fillWidth: true
            }
        }
        PanelText {
            objectName: "application-watts"
            combined: true
            text: row.model.wattsText
            font.pixelSize: Theme.subheadline
            font.weight: Font.DemiBold
        }
    }

    HoverHandler { id: hover }
    ToolTip.visible: hover.hovered
    ToolTip.text: model.tooltip
    ToolTip.delay: 600

    Accessible.role: Accessible.StaticText
    Accessible.name: model.accessibilityLabel
}
