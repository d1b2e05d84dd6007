#include "ui/settings_menu_entry.h"

namespace pylonix {

std::string_view toString(SettingsAction action) {
    switch (action) {
        case SettingsAction::none:
            return "none";
        case SettingsAction::selectRefreshInterval:
            return "selectRefreshInterval";
        case SettingsAction::setLaunchAtLogin:
            return "setLaunchAtLogin";
        case SettingsAction::openLoginSettings:
            return "openLoginSettings";
        case SettingsAction::showLaunchAtLoginIssue:
            return "showLaunchAtLoginIssue";
        case SettingsAction::checkForUpdates:
            return "checkForUpdates";
        case SettingsAction::setAutomaticChecks:
            return "setAutomaticChecks";
        case SettingsAction::showUpdateIssue:
            return "showUpdateIssue";
        case SettingsAction::refresh:
            return "refresh";
        case SettingsAction::quit:
            return "quit";
    }
    return "none";
}

std::string_view toString(MenuEntry::Kind kind) {
    switch (kind) {
        case MenuEntry::Kind::picker:
            return "picker";
        case MenuEntry::Kind::toggle:
            return "toggle";
        case MenuEntry::Kind::button:
            return "button";
        case MenuEntry::Kind::text:
            return "text";
        case MenuEntry::Kind::separator:
            return "separator";
    }
    return "button";
}

}  // namespace pylonix
