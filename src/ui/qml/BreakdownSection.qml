import QtQuick
import QtQuick.Layouts

// The split of the whole-machine power into application CPU and the rest.
Rectangle {
    id: section
    required property var model   // the bridge's breakdown
    objectName: model.identifier

    implicitHeight: column.implicitHeight + 24
    radius: 13
    color: Theme.color("group")
    border.color: Theme.color("groupBorder")
    border.width: 1

    ColumnLayout {
        id: column
        x: 12
        y: 12
        width: section.width - 24
        spacing: 9

        RowLayout {
            spacing: 4
            SymbolIcon {
                glyph: section.model.glyph
                font.pixelSize: Theme.subheadline + 3
                color: Theme.primary
            }
            PanelText {
                text: section.model.title
                font.pixelSize: Theme.subheadline
                font.weight: Font.DemiBold
                Layout.fillWidth: true
            }
            PanelText {
                text: section.model.caption
                font.pixelSize: Theme.caption2
                color: Theme.color("secondary")
            }
        }
        BreakdownRow {
            objectName: "power-breakdown-application"
            model: section.model.applicationRow
            Layout.fillWidth: true
        }
        BreakdownRow {
            objectName: "power-breakdown-other"
            model: section.model.otherRow
            Layout.fillWidth: true
        }
        PanelText {
            objectName: "power-breakdown-state"
            visible: section.model.stateLine.shown
            text: section.model.stateLine.text
            color: Theme.color(section.model.stateLine.color)
            font.pixelSize: Theme.caption2
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        RowLayout {
            objectName: section.model.totalRow.identifier || "power-breakdown-total"
            visible: section.model.totalRow.shown
            Layout.fillWidth: true
            PanelText {
                text: section.model.totalRow.label
                font.pixelSize: Theme.caption
                font.weight: Font.Medium
                color: Theme.color("secondary")
                Layout.fillWidth: true
            }
            PanelText {
                objectName: "value"
                text: section.model.totalRow.value
                font.pixelSize: Theme.caption
                font.weight: Font.Medium
                color: Theme.color("secondary")
            }
        }
        PanelText {
            text: section.model.footnote
            font.pixelSize: Theme.caption2
            color: Theme.color("secondary")
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
    }
}
