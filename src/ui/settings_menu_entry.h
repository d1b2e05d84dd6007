#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pylonix {

// What choosing a menu entry asks the application to do.
enum class SettingsAction {
    none,
    selectRefreshInterval,  // with the chosen option's seconds
    setLaunchAtLogin,       // with the switch's new value
    openLoginSettings,
    showLaunchAtLoginIssue,
    checkForUpdates,
    setAutomaticChecks,  // with the switch's new value
    showUpdateIssue,
    refresh,
    quit,
};

std::string_view toString(SettingsAction action);

// One choice of a picker shown as a submenu.
struct MenuOption {
    std::string label;
    double value = 0;

    bool operator==(const MenuOption&) const = default;
};

// One line of the settings pull-down. Entries that are not shown stay in the list (with
// `shown` false) so that every position keeps its meaning.
struct MenuEntry {
    enum class Kind { picker, toggle, button, text, separator };

    Kind kind = Kind::button;
    std::string label;
    bool enabled = true;
    bool shown = true;
    std::optional<std::string> identifier;  // the accessibility identifier
    std::optional<std::string> tooltip;
    std::optional<bool> checked;      // toggles: what the switch shows
    std::vector<MenuOption> options;  // pickers
    std::optional<double> selected;   // pickers: the chosen option's value
    std::optional<std::string>
        shortcut;  // a portable key sequence ("Ctrl+Q" is Command-Q on macOS)
    SettingsAction action = SettingsAction::none;

    static MenuEntry separator() {
        MenuEntry entry;
        entry.kind = Kind::separator;
        return entry;
    }

    // An entry of `kind` with its label, action and accessibility identifier.
    static MenuEntry make(Kind kind, std::string label, SettingsAction action,
                          std::optional<std::string> identifier = std::nullopt) {
        MenuEntry entry;
        entry.kind = kind;
        entry.label = std::move(label);
        entry.action = action;
        entry.identifier = std::move(identifier);
        return entry;
    }

    bool operator==(const MenuEntry&) const = default;
};

std::string_view toString(MenuEntry::Kind kind);

}  // namespace pylonix
