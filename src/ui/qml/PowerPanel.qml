import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The panel that opens from the tray item: a scrolling column of sections, a divider and the
// footer. Every value comes from `panel` (a PanelBridge); this file only lays them out.
Rectangle {
    id: root
    required property QtObject panel

    width: panel.panelWidth
    height: panel.panelHeight
    color: Theme.windowBackground
    Binding {
        target: Theme
        property: "palette"
        value: root.panel.palette
    }

    // Escape closes the innermost open thing: the alert, else the menu. False when neither is
    // open, and the window closes the panel itself.
    function dismissInnermost() {
        if (settingsMenu.alert.opened) {
            settingsMenu.alert.close()
            return true
        }
        if (settingsMenu.menu.opened) {
            settingsMenu.menu.close()
            return true
        }
        return false
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        ScrollView {
            id: scroll
            objectName: "power-scroll"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            contentWidth: availableWidth
            ScrollBar.vertical.policy: ScrollBar.AlwaysOn
            ScrollBar.horizontal.policy: ScrollBar.AlwaysOff

            ColumnLayout {
                id: sections
                x: 12
                width: scroll.availableWidth - 24
                spacing: 11

                Item { Layout.preferredHeight: 1 }   // with the column's spacing: the top padding

                // 1. Status header.
                RowLayout {
                    objectName: "status-header"
                    Layout.fillWidth: true
                    spacing: 10
                    Item {
                        id: badgeSlot
                        implicitWidth: badge.implicitWidth
                        implicitHeight: badge.implicitHeight
                        property var shown: root.panel.statusHeader
                        StatusBadge {
                            id: previousBadge
                            opacity: 0
                            Accessible.ignored: true
                        }
                        StatusBadge {
                            id: badge
                            objectName: "status-badge"
                            title: badgeSlot.shown.title
                            glyph: badgeSlot.shown.glyph
                            tint: badgeSlot.shown.color
                        }
                        // The badge cross-fades when the power-supply state changes (each state
                        // has its own title).
                        property string key: shown.title
                        property var last: null
                        onKeyChanged: {
                            if (root.panel.motionAllowed && last) {
                                previousBadge.title = last.title
                                previousBadge.glyph = last.glyph
                                previousBadge.tint = last.color
                                badgeFade.restart()
                            }
                            last = shown
                        }
                        Component.onCompleted: last = shown
                        ParallelAnimation {
                            id: badgeFade
                            NumberAnimation { target: previousBadge; property: "opacity"; from: 1; to: 0; duration: 180; easing.type: Easing.InOutQuad }
                            NumberAnimation { target: badge; property: "opacity"; from: 0; to: 1; duration: 180; easing.type: Easing.InOutQuad }
                        }
                    }
                    Item { Layout.fillWidth: true }
                    PanelText {
                        objectName: "battery-percent"
                        visible: root.panel.statusHeader.showsPercent
                        text: root.panel.statusHeader.percentText
                        font.pixelSize: Theme.headline
                        font.weight: Font.DemiBold
                        Accessible.role: Accessible.StaticText
                        Accessible.name: root.panel.statusHeader.percentAccessibilityLabel
                    }
                }

                // 2. Whole-machine power card.
                PowerCard {
                    objectName: "system-power-card"
                    Layout.fillWidth: true
                    model: root.panel.powerCard
                    motionAllowed: root.panel.motionAllowed
                }

                // 3. The failed reading's message, or the tiles and the missing figure's reason.
                InlineNotice {
                    objectName: "error-notice"
                    Layout.fillWidth: true
                    visible: root.panel.errorNotice.shown
                    text: root.panel.errorNotice.text
                    glyph: root.panel.errorNotice.glyph
                    tint: root.panel.errorNotice.color
                }
                ColumnLayout {
                    objectName: "power-tiles"
                    visible: root.panel.showsTiles
                    Layout.fillWidth: true
                    spacing: 11
                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 8
                        Repeater {
                            model: root.panel.tiles
                            MetricTile {
                                required property var modelData
                                objectName: modelData.identifier
                                Layout.fillWidth: true
                                Layout.preferredWidth: 1   // both stretch: equal halves
                                Layout.alignment: Qt.AlignVCenter
                                title: modelData.title
                                value: modelData.value
                                glyph: modelData.glyph
                                tint: modelData.color
                                tooltip: modelData.tooltip
                            }
                        }
                    }
                    InlineNotice {
                        objectName: "unavailable-notice"
                        Layout.fillWidth: true
                        visible: root.panel.unavailableNotice.shown
                        text: root.panel.unavailableNotice.text
                        glyph: root.panel.unavailableNotice.glyph
                        tint: root.panel.unavailableNotice.color
                    }
                }

                // 4. Breakdown of the whole-machine power.
                BreakdownSection {
                    Layout.fillWidth: true
                    model: root.panel.breakdown
                }

                // 5. The applications' CPU power.
                ApplicationPowerSection {
                    Layout.fillWidth: true
                    bridge: root.panel.applications
                    flickable: scroll.contentItem
                    motionAllowed: root.panel.motionAllowed
                }

                // 6. Power details.
                PowerDetailsSection {
                    Layout.fillWidth: true
                    model: root.panel.powerDetails
                    motionAllowed: root.panel.motionAllowed
                    onToggled: root.panel.togglePowerDetails()
                }

                Item { Layout.preferredHeight: 1 }   // the bottom padding
            }
        }

        Rectangle {
            objectName: "footer-divider"
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            implicitHeight: 1
            color: Theme.color("separator")
        }

        RowLayout {
            objectName: "footer"
            Layout.fillWidth: true
            Layout.margins: 12
            Layout.leftMargin: 15
            Layout.rightMargin: 15
            spacing: 10
            PanelText {
                objectName: "footer-updated-at"
                text: root.panel.footer.updatedAt
                font.pixelSize: Theme.caption2
                color: Theme.color("tertiary")
            }
            Item { Layout.fillWidth: true }
            AbstractButton {
                id: updateShortcut
                objectName: root.panel.footer.updateShortcut.identifier || "update-available-shortcut"
                visible: root.panel.footer.updateShortcut.shown
                enabled: root.panel.footer.updateShortcut.enabled
                padding: 2
                opacity: enabled ? 1 : 0.4
                contentItem: Row {
                    spacing: 3
                    SymbolIcon {
                        glyph: root.panel.footer.updateShortcut.glyph
                        color: Theme.color("blue")
                        font.pixelSize: Theme.caption + 3
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    PanelText {
                        combined: true
                        text: root.panel.footer.updateShortcut.label
                        color: Theme.color("blue")
                        font.pixelSize: Theme.caption
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }
                background: null
                onClicked: root.panel.checkForUpdates()
                ToolTip.visible: hovered
                ToolTip.text: root.panel.footer.updateShortcut.tooltip
                ToolTip.delay: 600
                Accessible.name: root.panel.footer.updateShortcut.label
                Accessible.description: root.panel.footer.updateShortcut.tooltip
            }
            SettingsMenu {
                id: settingsMenu
                settings: root.panel.settings
            }
        }
    }
}
