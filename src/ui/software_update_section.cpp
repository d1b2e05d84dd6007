#include "ui/software_update_section.h"

namespace pylonix {

std::vector<MenuEntry> makeSoftwareUpdateEntries(const SoftwareUpdateState& state,
                                                 const std::optional<std::string>& startupError,
                                                 const std::string& version) {
    using Kind = MenuEntry::Kind;
    const bool started = !startupError.has_value();

    MenuEntry versionLine = MenuEntry::make(Kind::text, "Pylonix " + version, SettingsAction::none);
    versionLine.enabled = false;

    MenuEntry check = MenuEntry::make(
        Kind::button,
        state.availableVersion ? "查看更新 " + *state.availableVersion + "…" : "检查更新…",
        SettingsAction::checkForUpdates, "software-update-check");
    check.enabled = state.canCheckForUpdates && started;

    MenuEntry automatic =
        MenuEntry::make(Kind::toggle, "自动检查更新", SettingsAction::setAutomaticChecks,
                        "software-update-automatic");
    automatic.enabled = started;
    automatic.tooltip = "每天检查一次，发现新版本时提醒";
    automatic.checked = state.automaticallyChecksForUpdates;

    MenuEntry problem =
        MenuEntry::make(Kind::button, "查看更新设置问题…", SettingsAction::showUpdateIssue);
    problem.shown = !started;

    return {std::move(versionLine), std::move(check), std::move(automatic), std::move(problem)};
}

}  // namespace pylonix
