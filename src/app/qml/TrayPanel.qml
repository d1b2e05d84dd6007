import QtQuick

// The panel's frame as the application hosts it: the tray label's values on the panel's
// background. The full panel replaces this scene.
Rectangle {
    id: root
    objectName: "tray-panel"
    color: "#f2f2f2"
    radius: 10
    border.color: "#c8c8c8"

    Column {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 11

        Text {
            objectName: "system-power-value"
            text: trayLabel.valueText
            font.pixelSize: 28
            font.weight: Font.DemiBold
            Accessible.name: trayLabel.accessibilityLabel
        }
        Text {
            width: parent.width
            text: trayLabel.tooltip
            wrapMode: Text.Wrap
            font.pixelSize: 12
            color: "#666666"
        }
    }
}
