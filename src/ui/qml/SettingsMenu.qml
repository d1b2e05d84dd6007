import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The settings button of the footer, its pull-down menu and its alert. Entries, texts and
// enabling come from `settings` (a SettingsMenuBridge); choices go back to it by index.
AbstractButton {
    id: button
    required property QtObject settings
    readonly property var model: settings.button

    objectName: model.identifier
    // The menu, its submenu and the alert in the panel's appearance.
    palette.window: Theme.windowBackground
    palette.windowText: Theme.primary
    palette.base: Theme.windowBackground
    palette.text: Theme.primary
    palette.button: Theme.color("tile")
    palette.buttonText: Theme.primary
    palette.light: Theme.color("group")
    palette.midlight: Theme.color("badge")
    palette.mid: Theme.color("separator")
    palette.dark: Theme.color("secondary")
    padding: 0
    topPadding: 3
    bottomPadding: 3
    background: Item {}
    contentItem: Row {
        spacing: 5
        Row {
            spacing: 3
            SymbolIcon {
                glyph: button.model.glyph
                color: Theme.primary
                font.pixelSize: Theme.caption + 3
                anchors.verticalCenter: parent.verticalCenter
            }
            PanelText {
                combined: true
                text: button.model.label
                font.pixelSize: Theme.caption
                anchors.verticalCenter: parent.verticalCenter
            }
        }
        SymbolIcon {
            objectName: "settings-problem-badge"
            visible: button.model.showsProblemBadge
            glyph: button.model.badgeglyph
            color: Theme.color(button.model.badgeColor)
            font.pixelSize: Theme.caption + 3
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    function openMenu() { menu.popup(button, 0, button.height) }
    onClicked: menu.opened ? menu.close() : openMenu()

    ToolTip.visible: hovered && !menu.opened
    ToolTip.text: model.tooltip
    ToolTip.delay: 600
    Accessible.role: Accessible.ButtonMenu
    Accessible.name: model.accessibilityLabel

    // Quit works from anywhere in the panel, the open menu and the alert included: a window
    // shortcut outside an open popup is blocked by it, an application one never is (the panel
    // is the program's only window that takes keys).
    Shortcut {
        sequence: "Ctrl+Q"
        context: Qt.ApplicationShortcut
        onActivated: {
            const entries = button.settings.entries
            for (let index = 0; index < entries.length; ++index) {
                if (entries[index].action === "quit")
                    button.settings.choose(index)
            }
        }
    }

    property alias menu: menu
    property alias alert: alert
    Menu {
        id: menu
        objectName: "settings-menu-popup"
        // The menu is rebuilt from the entries whenever the bridge republishes them.
        Connections {
            target: button.settings
            function onMenuChanged() { menu.rebuild() }
        }
        Component.onCompleted: rebuild()

        function rebuild() {
            for (let position = menu.count - 1; position >= 0; --position) {
                if (menu.menuAt(position))
                    menu.takeMenu(position).destroy()
                else
                    menu.takeItem(position).destroy()
            }
            const entries = button.settings.entries
            for (let index = 0; index < entries.length; ++index) {
                const entry = entries[index]
                if (!entry.shown)
                    continue
                switch (entry.kind) {
                case "separator":
                    menu.addItem(separatorComponent.createObject(button))
                    break
                case "picker":
                    menu.addMenu(pickerComponent.createObject(menu, {entry: entry, index: index}))
                    break
                default:
                    menu.addItem(itemComponent.createObject(button, {entry: entry, index: index}))
                }
            }
        }
    }

    Component {
        id: separatorComponent
        MenuSeparator {}
    }

    // A command, a switch or a plain text line.
    Component {
        id: itemComponent
        MenuItem {
            id: item
            property var entry
            property int index
            objectName: entry.identifier || ("settings-entry-" + index)
            text: entry.label
            enabled: entry.enabled && entry.kind !== "text"
            checkable: entry.kind === "toggle"
            checked: entry.checked
            font.family: Theme.textFamily
            font.pixelSize: Theme.body
            ToolTip.visible: hovered && !!entry.tooltip
            ToolTip.text: entry.tooltip || ""
            ToolTip.delay: 600
            // A switch shows what the bridge says: a choice the application ignores leaves it.
            onTriggered: {
                const wanted = entry.kind === "toggle" ? !entry.checked : undefined
                checked = Qt.binding(() => item.entry.checked)
                button.settings.choose(index, wanted)
            }
            PanelText {
                visible: item.entry.shortcut !== ""
                text: item.entry.shortcut
                color: Theme.color("secondary")
                font.pixelSize: Theme.caption
                anchors.right: parent.right
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
            }
            Accessible.name: entry.label
        }
    }

    // The refresh interval, as a submenu of exclusive choices.
    Component {
        id: pickerComponent
        Menu {
            id: picker
            property var entry
            property int index
            objectName: entry.identifier
            title: entry.label
            font.family: Theme.textFamily
            font.pixelSize: Theme.body
            Repeater {
                model: picker.entry.options
                MenuItem {
                    required property var modelData
                    objectName: picker.entry.identifier + "-" + modelData.value
                    text: modelData.label
                    checkable: true
                    checked: modelData.value === picker.entry.selected
                    font: picker.font
                    onTriggered: {
                        checked = Qt.binding(() => modelData.value === picker.entry.selected)
                        button.settings.choose(picker.index, modelData.value)
                    }
                }
            }
        }
    }

    // The problem the user asked to read, with its one button.
    Dialog {
        id: alert
        objectName: "settings-alert"
        palette.window: Theme.windowBackground
        palette.windowText: Theme.primary
        palette.base: Theme.windowBackground
        palette.text: Theme.primary
        palette.button: Theme.color("tile")
        palette.buttonText: Theme.primary
        palette.light: Theme.color("group")
        palette.midlight: Theme.color("badge")
        palette.mid: Theme.color("separator")
        palette.dark: Theme.color("secondary")
        parent: Overlay.overlay
        anchors.centerIn: parent
        width: Math.min(300, parent ? parent.width - 40 : 300)
        modal: true
        // Opened and closed by the bridge's issue; closing it by its button clears the issue.
        Connections {
            target: button.settings
            function onIssueChanged() {
                if (button.settings.issue.shown)
                    alert.open()
                else
                    alert.close()
            }
        }
        title: button.settings.issue.title
        closePolicy: Popup.CloseOnEscape
        font.family: Theme.textFamily
        contentItem: PanelText {
            objectName: "settings-alert-message"
            text: button.settings.issue.message
            wrapMode: Text.Wrap
        }
        footer: DialogButtonBox {
            Button {
                objectName: "settings-alert-button"
                text: button.settings.issue.buttonLabel
                DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole
                highlighted: true
            }
        }
        onClosed: button.settings.closeIssue()
    }
}
