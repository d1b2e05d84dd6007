import QtQuick

// A coloured capsule naming a state.
Rectangle {
    id: badge
    property string title
    property string glyph
    property string tint: "primary"

    implicitWidth: row.implicitWidth + 20
    implicitHeight: row.implicitHeight + 12
    radius: height / 2
    color: Theme.faded(tint, 0.12)

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 4
        SymbolIcon {
            glyph: badge.glyph
            color: Theme.color(badge.tint)
            font.pixelSize: Theme.subheadline + 2
            anchors.verticalCenter: parent.verticalCenter
        }
        PanelText {
            combined: true
            text: badge.title
            color: Theme.color(badge.tint)
            font.pixelSize: Theme.subheadline
            font.weight: Font.DemiBold
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    Accessible.role: Accessible.StaticText
    Accessible.name: title
}
