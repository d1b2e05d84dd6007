import QtQuick
import QtQuick.Layouts

// One part of the breakdown: dot, title, value; read as title and value.
RowLayout {
    id: row
    required property var model
    spacing: 7
    Rectangle {
        width: 6
        height: 6
        radius: 3
        color: Theme.color(row.model.color)
        Accessible.ignored: true
    }
    PanelText {
        combined: true
        text: row.model.title
        font.pixelSize: Theme.caption
        Layout.fillWidth: true
        Layout.rightMargin: 4
        elide: Text.ElideRight
    }
    PanelText {
        objectName: "value"
        combined: true
        text: row.model.value
        font.pixelSize: Theme.caption
    }
    Accessible.role: Accessible.StaticText
    Accessible.name: model.accessibilityLabel
}
