#include "ui/power_settings_menu.h"

#include <utility>

#include "ui/software_update_section.h"

namespace pylonix {

std::string refreshIntervalLabel(RefreshInterval interval) {
    switch (interval.value()) {
        case RefreshInterval::halfSecond:
            return "0.5 秒";
        case RefreshInterval::oneSecond:
            return "1 秒";
        case RefreshInterval::twoSeconds:
            return "2 秒";
        case RefreshInterval::fiveSeconds:
            return "5 秒";
    }
    return "1 秒";
}

bool hasSettingsProblem(const PowerSettingsInputs& inputs) {
    return inputs.launchAtLoginNeedsApproval || inputs.launchAtLoginError.has_value() ||
           inputs.softwareUpdateError.has_value();
}

PowerSettingsMenu makePowerSettingsMenu(const PowerSettingsInputs& inputs) {
    PowerSettingsMenu menu;
    menu.showsProblemBadge = hasSettingsProblem(inputs);
    menu.tooltip = menu.showsProblemBadge ? "设置中有需要处理的项目" : "刷新、启动与软件更新设置";
    menu.accessibilityLabel = menu.showsProblemBadge ? "设置，有项目需要处理" : "设置";

    std::vector<MenuOption> intervals;
    for (const RefreshInterval interval : RefreshInterval::allCases()) {
        intervals.push_back({refreshIntervalLabel(interval), interval.rawValue()});
    }

    using Kind = MenuEntry::Kind;
    std::vector<MenuEntry>& entries = menu.entries;

    MenuEntry picker =
        MenuEntry::make(Kind::picker, "刷新频率", SettingsAction::selectRefreshInterval,
                        "settings-refresh-interval");
    picker.options = std::move(intervals);
    picker.selected = inputs.refreshInterval.rawValue();
    entries.push_back(std::move(picker));

    MenuEntry login = MenuEntry::make(Kind::toggle, "登录时启动", SettingsAction::setLaunchAtLogin,
                                      "settings-launch-at-login");
    login.checked = inputs.launchAtLoginEnabled;
    entries.push_back(std::move(login));

    MenuEntry approve =
        MenuEntry::make(Kind::button, "允许登录时启动…", SettingsAction::openLoginSettings);
    approve.shown = inputs.launchAtLoginNeedsApproval;
    entries.push_back(std::move(approve));

    MenuEntry loginProblem =
        MenuEntry::make(Kind::button, "查看启动设置问题…", SettingsAction::showLaunchAtLoginIssue);
    loginProblem.shown = inputs.launchAtLoginError.has_value();
    entries.push_back(std::move(loginProblem));

    entries.push_back(MenuEntry::separator());
    for (MenuEntry& entry : makeSoftwareUpdateEntries(inputs.softwareUpdateState,
                                                      inputs.softwareUpdateError, inputs.version)) {
        entries.push_back(std::move(entry));
    }
    entries.push_back(MenuEntry::separator());
    entries.push_back(MenuEntry::make(Kind::button, kRefreshNowText, SettingsAction::refresh,
                                      "settings-refresh-now"));
    entries.push_back(MenuEntry::separator());

    MenuEntry quit =
        MenuEntry::make(Kind::button, kQuitText, SettingsAction::quit, "settings-quit");
    quit.shortcut = "Ctrl+Q";
    entries.push_back(std::move(quit));
    return menu;
}

std::optional<SettingsIssue> settingsIssueFor(SettingsAction action,
                                              const PowerSettingsInputs& inputs) {
    if (action == SettingsAction::showLaunchAtLoginIssue && inputs.launchAtLoginError) {
        return SettingsIssue{"登录时启动", *inputs.launchAtLoginError};
    }
    if (action == SettingsAction::showUpdateIssue && inputs.softwareUpdateError) {
        return SettingsIssue{"软件更新", *inputs.softwareUpdateError};
    }
    return std::nullopt;
}

}  // namespace pylonix
