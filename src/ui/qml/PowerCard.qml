import QtQuick

// The whole-machine power card: headline number and note, tinted by the power-supply state.
Rectangle {
    id: card
    required property var model           // the bridge's powerCard
    property bool motionAllowed: false

    // The card compares the power-supply state itself: a new value brings its state with it, so
    // the decision to animate is made before anything on screen changes. The fill and the
    // border blend from the last state's tint to the new one; the note cross-fades with them.
    property string shownStatus: ""
    property string shownTint: ""
    property string previousTint: ""
    property real tintProgress: 1

    onModelChanged: {
        const animate = shownStatus !== model.status && motionAllowed
        shownStatus = model.status
        if (animate || shownTint !== model.tint) {
            tintFade.stop()
            previousTint = shownTint
            shownTint = model.tint
            tintProgress = animate ? 0 : 1
            if (animate)
                tintFade.restart()
        }
        note.show(model.note, animate)
    }
    Component.onCompleted: {
        shownStatus = model.status
        shownTint = model.tint
        previousTint = model.tint
        note.show(model.note, false)
    }

    implicitHeight: column.implicitHeight + 24
    radius: 16
    color: Theme.blend(Theme.faded(previousTint, 0.09), Theme.faded(shownTint, 0.09), tintProgress)
    border.color: Theme.blend(Theme.faded(previousTint, 0.15), Theme.faded(shownTint, 0.15), tintProgress)
    border.width: 1
    NumberAnimation {
        id: tintFade
        target: card
        property: "tintProgress"
        from: 0
        to: 1
        duration: 180
        easing.type: Easing.InOutQuad
    }

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
        // The figure keeps a frame at least 136 points wide; the unit follows the figure itself,
        // 6 points after its last glyph, however long it is.
        Item {
            width: parent.width
            height: Math.max(value.height, unit.y + unit.height)
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
                id: unit
                objectName: "system-power-unit"
                x: value.x + value.implicitWidth + 6
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
            id: note
            objectName: "system-power-note"
            width: parent.width
            font.family: Theme.textFamily
            font.pixelSize: Theme.caption
            color: Theme.color("secondary")
            Accessible.ignored: true
        }
    }
    Accessible.role: Accessible.StaticText
    Accessible.name: model.accessibilityLabel
}
