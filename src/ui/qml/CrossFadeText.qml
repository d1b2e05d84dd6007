import QtQuick

// A text whose changes cross-fade: the old text fades out while the new one fades in. With
// `animated` false a change applies at once. A text whose animation depends on more than its
// own change is not bound: its owner calls show() with the decision.
Item {
    id: fader
    property string text
    property bool animated: false
    property int duration: 180
    property int easing: Easing.InOutQuad
    property alias font: current.font
    property alias color: current.color
    property alias horizontalAlignment: current.horizontalAlignment
    property alias wrapMode: current.wrapMode
    property alias currentText: current
    property string shownText: ""

    implicitWidth: current.implicitWidth
    implicitHeight: current.implicitHeight
    // Unless its owner has shown a text already.
    Component.onCompleted: if (shownText === "") shownText = text

    onTextChanged: show(text, animated)

    function show(newText, animate) {
        if (animate && shownText !== newText) {
            previous.text = shownText
            fade.restart()
        } else if (shownText !== newText || !fade.running) {
            fade.stop()
            previous.text = ""
            previous.opacity = 0
            current.opacity = 1
        }
        shownText = newText
        if (text !== newText)
            text = newText
    }

    PanelText {
        id: previous
        width: parent.width
        font: current.font
        color: current.color
        horizontalAlignment: current.horizontalAlignment
        wrapMode: current.wrapMode
        opacity: 0
        combined: true
    }
    PanelText {
        id: current
        width: parent.width
        combined: true
        text: fader.shownText
    }
    ParallelAnimation {
        id: fade
        NumberAnimation { target: previous; property: "opacity"; from: 1; to: 0; duration: fader.duration; easing.type: fader.easing }
        NumberAnimation { target: current; property: "opacity"; from: 0; to: 1; duration: fader.duration; easing.type: fader.easing }
    }
}
