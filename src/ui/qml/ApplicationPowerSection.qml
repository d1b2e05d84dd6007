import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The applications' CPU power: header, the content of the sampling state, footnote. Values come
// from `bridge` (an ApplicationSectionBridge); this file lays them out and runs the motion.
Rectangle {
    id: section
    required property QtObject bridge
    // The scroll viewport the section sits in; its top edge is reported against it.
    property Flickable flickable: null
    property bool motionAllowed: false

    readonly property var model: bridge.section

    objectName: model.identifier
    implicitHeight: column.implicitHeight + 24
    radius: 13
    color: Theme.color("group")
    border.color: Theme.color("groupBorder")
    border.width: 1

    // The rows kept on screen while a collapse fades the lower ones out, and their opacity.
    property var heldRows: null
    property real tailOpacity: 1

    function reportTop() {
        if (flickable)
            bridge.applicationSectionTop = section.mapToItem(flickable, 0, 0).y
    }

    function toggle() {
        const animated = motionAllowed
        const collapsing = bridge.showsAllApplications
        tailFade.stop()
        heldRows = null
        if (animated && collapsing) {
            heldRows = model.rows
            tailFade.from = 1
            tailFade.to = 0
        }
        reportTop()
        bridge.toggleAllApplications(animated)
        if (animated && !collapsing) {
            tailFade.from = 0
            tailFade.to = 1
        }
        if (animated)
            tailFade.restart()
    }

    onYChanged: reportTop()
    Component.onCompleted: reportTop()
    Connections {
        target: section.flickable
        function onContentYChanged() { section.reportTop() }
    }
    Connections {
        target: section.bridge
        function onScrollToSectionRequested(animated) {
            const to = section.flickable.contentY + section.bridge.applicationSectionTop
            scrollAnimation.stop()
            if (animated) {
                scrollAnimation.to = to
                scrollAnimation.start()
            } else {
                section.flickable.contentY = to
            }
        }
    }
    NumberAnimation {
        id: scrollAnimation
        target: section.flickable
        property: "contentY"
        duration: 200
        easing.type: Easing.InOutQuad
    }
    NumberAnimation {
        id: tailFade
        target: section
        property: "tailOpacity"
        duration: 200
        easing.type: Easing.InOutQuad
        onFinished: {
            section.heldRows = null
            section.tailOpacity = 1
        }
    }

    // The state content. `live` is the one on screen; the other only fades out.
    component StateContent: ColumnLayout {
        id: content
        readonly property var emptyModel: ({
            "content": "", "message": "", "messageglyph": "", "rows": [],
            "toggle": {"shown": false, "label": "", "accessibilityValue": "", "chevronDegrees": 0,
                       "glyph": "", "identifier": ""}
        })
        property var model: emptyModel
        property bool live: false
        spacing: 10

        RowLayout {
            visible: content.model.content === "collecting"
            Layout.fillWidth: true
            Layout.minimumHeight: 56
            spacing: 8
            BusyIndicator {
                running: parent.visible
                Layout.preferredWidth: 18
                Layout.preferredHeight: 18
                padding: 0
            }
            PanelText {
                objectName: content.live ? "application-collecting" : ""
                text: content.model.content === "collecting" ? content.model.message : ""
                font.pixelSize: Theme.caption
                color: Theme.color("secondary")
                Layout.fillWidth: true
            }
        }
        RowLayout {
            visible: content.model.content === "unavailable"
            Layout.fillWidth: true
            spacing: 4
            SymbolIcon {
                glyph: content.model.messageglyph
                color: Theme.color("secondary")
                font.pixelSize: Theme.caption + 2
                Layout.alignment: Qt.AlignTop
            }
            PanelText {
                objectName: content.live ? "application-unavailable" : ""
                text: content.model.content === "unavailable" ? content.model.message : ""
                font.pixelSize: Theme.caption
                color: Theme.color("secondary")
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
        PanelText {
            objectName: content.live ? "application-empty" : ""
            visible: content.model.content === "empty"
            text: content.model.content === "empty" ? content.model.message : ""
            font.pixelSize: Theme.caption
            color: Theme.color("secondary")
            Layout.fillWidth: true
        }
        Column {
            objectName: content.live ? "application-rows" : ""
            visible: content.model.content === "list"
            Layout.fillWidth: true
            spacing: 0
            clip: true
            Repeater {
                // A new list replaces the rows at once: new samples are never animated.
                model: content.live && section.heldRows ? section.heldRows : content.model.rows
                ApplicationPowerRow {
                    required property var modelData
                    required property int index
                    model: modelData
                    width: parent.width
                    opacity: index >= 5 && content.live ? section.tailOpacity : 1
                }
            }
        }
        AbstractButton {
            id: toggleButton
            objectName: content.live ? content.model.toggle.identifier : ""
            property string accessibilityValue: content.model.toggle.accessibilityValue
            visible: content.model.content === "list" && content.model.toggle.shown
            enabled: content.live
            Layout.fillWidth: true
            padding: 0
            background: Item {}
            contentItem: RowLayout {
                spacing: 4
                PanelText {
                    objectName: content.live ? "toggle-label" : ""
                    combined: true
                    text: content.model.toggle.label
                    font.pixelSize: Theme.caption
                    color: Theme.color("blue")
                    Layout.fillWidth: true
                }
                SymbolIcon {
                    objectName: content.live ? "toggle-chevron" : ""
                    glyph: content.model.toggle.glyph
                    color: Theme.color("blue")
                    font.pixelSize: Theme.caption + 4
                    rotation: content.model.toggle.chevronDegrees
                    Behavior on rotation {
                        enabled: section.motionAllowed
                        NumberAnimation { duration: 200; easing.type: Easing.InOutQuad }
                    }
                }
            }
            onClicked: section.toggle()
            Accessible.role: Accessible.Button
            Accessible.name: content.model.toggle.label
            Accessible.description: accessibilityValue
        }
    }

    ColumnLayout {
        id: column
        x: 12
        y: 12
        width: section.width - 24
        spacing: 10

        RowLayout {
            objectName: "application-power-header"
            Layout.fillWidth: true
            spacing: 4
            SymbolIcon {
                glyph: section.model.titleglyph
                font.pixelSize: Theme.subheadline + 3
                color: Theme.primary
            }
            PanelText {
                text: section.model.title
                font.pixelSize: Theme.subheadline
                font.weight: Font.DemiBold
                Layout.fillWidth: true
            }
            Rectangle {
                objectName: "application-power-badge"
                property string text: section.model.badge
                implicitWidth: badgeText.implicitWidth + 14
                implicitHeight: badgeText.implicitHeight + 6
                radius: height / 2
                color: Theme.color("badge")
                PanelText {
                    id: badgeText
                    anchors.centerIn: parent
                    text: section.model.badge
                    font.pixelSize: Theme.caption2
                    font.weight: Font.Medium
                    color: Theme.color("secondary")
                }
            }
        }

        // The state content cross-fades when its identity key changes.
        Item {
            id: stateSlot
            Layout.fillWidth: true
            implicitHeight: current.implicitHeight
            // The model shown before the latest change, to fade out from.
            property var lastModel: null
            Component.onCompleted: lastModel = section.model
            Connections {
                target: section
                function onModelChanged() {
                    const last = stateSlot.lastModel
                    stateSlot.lastModel = section.model
                    if (!last || last.contentKey === section.model.contentKey)
                        return
                    if (section.motionAllowed) {
                        previous.model = last
                        crossFade.restart()
                    } else {
                        crossFade.stop()
                        previous.model = previous.emptyModel
                        previous.opacity = 0
                        current.opacity = 1
                    }
                }
            }

            StateContent {
                id: previous
                objectName: "application-state-previous"
                width: stateSlot.width
                opacity: 0
                visible: opacity > 0
                Accessible.ignored: true
            }
            StateContent {
                id: current
                objectName: "application-state-current"
                width: stateSlot.width
                model: section.model
                live: true
            }
            ParallelAnimation {
                id: crossFade
                onFinished: previous.model = previous.emptyModel
                NumberAnimation { target: previous; property: "opacity"; from: 1; to: 0; duration: 160; easing.type: Easing.OutQuad }
                NumberAnimation { target: current; property: "opacity"; from: 0; to: 1; duration: 160; easing.type: Easing.OutQuad }
            }
        }

        PanelText {
            objectName: "application-power-footnote"
            text: section.model.footnote
            font.pixelSize: Theme.caption2
            color: Theme.color("secondary")
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
    }
}
