import QtQuick
import QtQuick.Layouts

// The disclosure with the measured input, voltage, current, time to full and the two notes.
ColumnLayout {
    id: details
    required property var model      // the bridge's powerDetails
    property bool motionAllowed: false
    signal toggled()

    objectName: model.identifier
    spacing: 0

    Item {
        id: header
        objectName: "power-details-toggle"
        Layout.fillWidth: true
        Layout.leftMargin: 3
        Layout.rightMargin: 3
        implicitHeight: headerRow.implicitHeight + 4
        RowLayout {
            id: headerRow
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width
            spacing: 3
            SymbolIcon {
                glyph: details.model.glyph
                color: Theme.color("secondary")
                font.pixelSize: Theme.caption + 4
                rotation: details.model.chevronDegrees
                Behavior on rotation { enabled: details.motionAllowed; NumberAnimation { duration: 200; easing.type: Easing.InOutQuad } }
            }
            PanelText {
                combined: true
                text: details.model.title
                font.pixelSize: Theme.caption
                color: Theme.color("secondary")
                Layout.fillWidth: true
            }
        }
        TapHandler { onTapped: details.toggled() }
        Accessible.role: Accessible.Button
        Accessible.name: details.model.title
        Accessible.checkable: true
        Accessible.checked: details.model.expanded
        Accessible.onPressAction: details.toggled()
    }

    ColumnLayout {
        objectName: "power-details-content"
        visible: details.model.expanded
        Layout.fillWidth: true
        Layout.topMargin: 6
        Layout.leftMargin: 3
        Layout.rightMargin: 3
        spacing: 6
        Repeater {
            model: details.model.rows
            RowLayout {
                required property var modelData
                objectName: "power-details-row"
                Layout.fillWidth: true
                PanelText {
                    combined: true
                    text: modelData.label
                    font.pixelSize: Theme.caption
                    color: Theme.color("secondary")
                    Layout.fillWidth: true
                }
                PanelText {
                    objectName: "value"
                    combined: true
                    text: modelData.value
                    font.pixelSize: Theme.caption
                    color: Theme.color("secondary")
                }
                Accessible.role: Accessible.StaticText
                Accessible.name: modelData.label + " " + modelData.value
            }
        }
        PanelText {
            objectName: "power-details-source"
            text: details.model.sourceText
            font.pixelSize: Theme.caption
            color: Theme.color("secondary")
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        PanelText {
            objectName: "power-details-footnote"
            text: details.model.footnote
            font.pixelSize: Theme.caption
            color: Theme.color("secondary")
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
    }
}
