import QtQuick

// The whole-machine power card: headline number and note, tinted by the power-supply state.
Rectangle {
    id: card
    required property var model           // the bridge's powerCard
    property bool motionAllowed: false
    property bool statusChangeAnimates: false

    implicitHeight: column.implicitHeight + 24
    radius: 16
    color: Theme.faded(model.tint, 0.09)
    border.color: Theme.faded(model.tint, 0.15)
    border.width: 1
    Behavior on color { enabled: card.statusChangeAnimates; ColorAnimation { duration: 180; easing.type: Easing.InOutQuad } }
    Behavior on border.color { enabled: card.statusChangeAnimates; ColorAnimation { duration: 180; easing.type: Easing.InOutQuad } }

    Column {
        id: column
        x: 12
        y: 12
        width: card.width - 24
        spacing: 5

        Item {
            width: parent.width
            height: Math.max(title.implicitHeight, caption.implicitHeight)
            PanelText {
                id: title
                combined: true
                text: card.model.title
                font.pixelSize: Theme.subheadline
                font.weight: Font.DemiBold
            }
            PanelText {
                id: caption
                combined: true
                anchors.right: parent.right
                anchors.baseline: title.baseline
                text: card.model.caption
                font.pixelSize: Theme.caption2
                color: Theme.color("secondary")
            }
        }
        Row {
            spacing: 6
            CrossFadeText {
                id: value
                objectName: card.model.valueIdentifier
                width: Math.max(136, implicitWidth)
                text: card.model.valueText
                animated: card.motionAllowed
                duration: 140
                easing: Easing.OutQuad
                font.family: Theme.textFamily
                font.pixelSize: 36
                font.weight: Font.DemiBold
                Accessible.ignored: true
            }
            PanelText {
                anchors.baseline: value.top
                anchors.baselineOffset: value.currentText.baselineOffset
                combined: true
                text: card.model.unit
                font.pixelSize: Theme.title3
                font.weight: Font.DemiBold
                color: Theme.color("secondary")
            }
        }
        CrossFadeText {
            objectName: "system-power-note"
            width: parent.width
            text: card.model.note
            animated: card.statusChangeAnimates
            font.family: Theme.textFamily
            font.pixelSize: Theme.caption
            color: Theme.color("secondary")
            Accessible.ignored: true
        }
    }
    Accessible.role: Accessible.StaticText
    Accessible.name: model.accessibilityLabel
}
