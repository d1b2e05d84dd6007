#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "power/refresh_interval.h"
#include "services/software_update_state.h"
#include "ui/settings_menu_entry.h"

namespace pylonix {

// A problem the settings menu shows in its alert. Two issues are the same alert when their
// titles are equal.
struct SettingsIssue {
    std::string title;
    std::string message;

    static constexpr std::string_view buttonLabel = "好";  // the alert's only button; it closes it

    bool operator==(const SettingsIssue&) const = default;
};

// What the settings menu is drawn from.
struct PowerSettingsInputs {
    RefreshInterval refreshInterval;
    bool launchAtLoginEnabled = false;
    bool launchAtLoginNeedsApproval = false;
    std::optional<std::string> launchAtLoginError;
    SoftwareUpdateState softwareUpdateState;
    std::optional<std::string> softwareUpdateError;
    std::string version;

    bool operator==(const PowerSettingsInputs&) const = default;
};

// The settings button and its pull-down menu.
struct PowerSettingsMenu {
    bool showsProblemBadge = false;  // the orange symbol after the label
    std::string tooltip;
    std::string accessibilityLabel;
    std::vector<MenuEntry> entries;  // in menu order, the update entries in place

    static constexpr std::string_view label = "设置";
    static constexpr std::string_view systemImage = "gearshape";
    static constexpr std::string_view badgeSymbol = "exclamationmark.circle.fill";
    static constexpr std::string_view badgeColor = "orange";
    static constexpr std::string_view identifier = "settings-menu";

    bool operator==(const PowerSettingsMenu&) const = default;
};

// "0.5 秒", "1 秒", "2 秒", "5 秒".
// The texts of the two actions the tray item's menu offers too.
inline constexpr const char* kRefreshNowText = "立即刷新";
inline constexpr const char* kQuitText = "退出 Pylonix";

std::string refreshIntervalLabel(RefreshInterval interval);

// True when the login item awaits approval, the login item failed or the updater could not
// start.
bool hasSettingsProblem(const PowerSettingsInputs& inputs);

PowerSettingsMenu makePowerSettingsMenu(const PowerSettingsInputs& inputs);

// The alert an entry opens: the login item's error for `showLaunchAtLoginIssue`, the updater's
// start-up error for `showUpdateIssue`; nothing for any other action or without that error.
std::optional<SettingsIssue> settingsIssueFor(SettingsAction action,
                                              const PowerSettingsInputs& inputs);

}  // namespace pylonix
