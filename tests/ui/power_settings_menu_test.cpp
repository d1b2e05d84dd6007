#include "ui/power_settings_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/software_update_section.h"

namespace pylonix {
namespace {

PowerSettingsInputs healthyInputs() {
    PowerSettingsInputs inputs;
    inputs.refreshInterval = RefreshInterval::twoSeconds;
    inputs.launchAtLoginEnabled = true;
    inputs.softwareUpdateState.canCheckForUpdates = true;
    inputs.softwareUpdateState.automaticallyChecksForUpdates = true;
    inputs.version = "1.4.2";
    return inputs;
}

// The labels of the entries a person sees, separators as "—".
std::vector<std::string> shownLabels(const std::vector<MenuEntry>& entries) {
    std::vector<std::string> labels;
    for (const MenuEntry& entry : entries) {
        if (!entry.shown) continue;
        labels.push_back(entry.kind == MenuEntry::Kind::separator ? "—" : entry.label);
    }
    return labels;
}

const MenuEntry& entryWithLabel(const std::vector<MenuEntry>& entries, const std::string& label) {
    for (const MenuEntry& entry : entries) {
        if (entry.label == label) return entry;
    }
    throw std::runtime_error("no entry " + label);
}

TEST(PowerSettingsMenuTest, NoProblemFullMenuInOrder) {
    const PowerSettingsMenu menu = makePowerSettingsMenu(healthyInputs());
    EXPECT_FALSE(menu.showsProblemBadge);
    EXPECT_EQ(menu.tooltip, "刷新、启动与软件更新设置");
    EXPECT_EQ(menu.accessibilityLabel, "设置");
    EXPECT_EQ(shownLabels(menu.entries),
              (std::vector<std::string>{"刷新频率", "登录时启动", "—", "Pylonix 1.4.2", "检查更新…",
                                        "自动检查更新", "—", "立即刷新", "—", "退出 Pylonix"}));

    const MenuEntry& picker = menu.entries[0];
    EXPECT_EQ(picker.identifier, "settings-refresh-interval");
    ASSERT_EQ(picker.options.size(), 4u);
    EXPECT_EQ(picker.options[0], (MenuOption{"0.5 秒", 0.5}));
    EXPECT_EQ(picker.options[1], (MenuOption{"1 秒", 1.0}));
    EXPECT_EQ(picker.options[2], (MenuOption{"2 秒", 2.0}));
    EXPECT_EQ(picker.options[3], (MenuOption{"5 秒", 5.0}));
    EXPECT_EQ(picker.selected, 2.0);

    const MenuEntry& login = menu.entries[1];
    EXPECT_EQ(login.identifier, "settings-launch-at-login");
    EXPECT_EQ(login.checked, true);
    EXPECT_EQ(login.action, SettingsAction::setLaunchAtLogin);

    const MenuEntry& refresh = entryWithLabel(menu.entries, "立即刷新");
    EXPECT_EQ(refresh.identifier, "settings-refresh-now");
    EXPECT_EQ(refresh.action, SettingsAction::refresh);
    const MenuEntry& quit = menu.entries.back();
    EXPECT_EQ(quit.identifier, "settings-quit");
    EXPECT_EQ(quit.shortcut, "Ctrl+Q");
    EXPECT_EQ(quit.action, SettingsAction::quit);
}

TEST(PowerSettingsMenuTest, EveryCombinationOfProblems) {
    for (int mask = 0; mask < 8; ++mask) {
        PowerSettingsInputs inputs = healthyInputs();
        inputs.launchAtLoginNeedsApproval = (mask & 1) != 0;
        if ((mask & 2) != 0) inputs.launchAtLoginError = "Permission denied";
        if ((mask & 4) != 0)
            inputs.softwareUpdateError = "更新检查暂时无法启动，请重新打开 App 后重试。";
        SCOPED_TRACE(mask);

        const PowerSettingsMenu menu = makePowerSettingsMenu(inputs);
        const bool problem = mask != 0;
        EXPECT_EQ(menu.showsProblemBadge, problem);
        EXPECT_EQ(menu.tooltip, problem ? "设置中有需要处理的项目" : "刷新、启动与软件更新设置");
        EXPECT_EQ(menu.accessibilityLabel, problem ? "设置，有项目需要处理" : "设置");

        // The approval and error entries stand in places 3 and 4, in that order.
        EXPECT_EQ(menu.entries[2].label, "允许登录时启动…");
        EXPECT_EQ(menu.entries[2].shown, (mask & 1) != 0);
        EXPECT_EQ(menu.entries[2].action, SettingsAction::openLoginSettings);
        EXPECT_EQ(menu.entries[3].label, "查看启动设置问题…");
        EXPECT_EQ(menu.entries[3].shown, (mask & 2) != 0);
        EXPECT_EQ(entryWithLabel(menu.entries, "查看更新设置问题…").shown, (mask & 4) != 0);
    }
}

TEST(PowerSettingsMenuTest, AlertsCarryTheErrorTexts) {
    PowerSettingsInputs inputs = healthyInputs();
    EXPECT_FALSE(settingsIssueFor(SettingsAction::showLaunchAtLoginIssue, inputs));
    EXPECT_FALSE(settingsIssueFor(SettingsAction::showUpdateIssue, inputs));

    inputs.launchAtLoginError = "Not a directory";
    inputs.softwareUpdateError = "更新检查暂时无法启动，请重新打开 App 后重试。";
    EXPECT_EQ(settingsIssueFor(SettingsAction::showLaunchAtLoginIssue, inputs),
              (SettingsIssue{"登录时启动", "Not a directory"}));
    EXPECT_EQ(settingsIssueFor(SettingsAction::showUpdateIssue, inputs),
              (SettingsIssue{"软件更新", "更新检查暂时无法启动，请重新打开 App 后重试。"}));
    EXPECT_FALSE(settingsIssueFor(SettingsAction::refresh, inputs));
    EXPECT_EQ(SettingsIssue::buttonLabel, "好");
}

TEST(SoftwareUpdateSectionTest, UpdaterStartedWithoutKnownUpdate) {
    SoftwareUpdateState state;
    state.canCheckForUpdates = true;
    state.automaticallyChecksForUpdates = false;
    auto entries = makeSoftwareUpdateEntries(state, std::nullopt, "1.4.2");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].kind, MenuEntry::Kind::text);
    EXPECT_EQ(entries[0].label, "Pylonix 1.4.2");
    EXPECT_EQ(entries[0].action, SettingsAction::none);
    EXPECT_EQ(entries[1].label, "检查更新…");
    EXPECT_TRUE(entries[1].enabled);
    EXPECT_EQ(entries[1].identifier, "software-update-check");
    EXPECT_EQ(entries[2].label, "自动检查更新");
    EXPECT_TRUE(entries[2].enabled);
    EXPECT_EQ(entries[2].checked, false) << "the switch shows the published state";
    EXPECT_EQ(entries[2].identifier, "software-update-automatic");
    EXPECT_EQ(entries[2].tooltip, "每天检查一次，发现新版本时提醒");
    EXPECT_FALSE(entries[3].shown);

    state.canCheckForUpdates = false;  // a check is already running
    entries = makeSoftwareUpdateEntries(state, std::nullopt, "1.4.2");
    EXPECT_FALSE(entries[1].enabled);
    EXPECT_TRUE(entries[2].enabled);
}

TEST(SoftwareUpdateSectionTest, AnnouncedVersionStillChecks) {
    SoftwareUpdateState state;
    state.canCheckForUpdates = true;
    state.availableVersion = "2.0";
    const auto entries = makeSoftwareUpdateEntries(state, std::nullopt, "1.4.2");
    EXPECT_EQ(entries[1].label, "查看更新 2.0…");
    EXPECT_EQ(entries[1].action, SettingsAction::checkForUpdates);
}

TEST(SoftwareUpdateSectionTest, StartupErrorDisablesAndExplains) {
    SoftwareUpdateState state;
    state.canCheckForUpdates = true;
    state.automaticallyChecksForUpdates = true;
    const auto entries =
        makeSoftwareUpdateEntries(state, "更新检查暂时无法启动，请重新打开 App 后重试。", "—");
    EXPECT_EQ(entries[0].label, "Pylonix —");
    EXPECT_FALSE(entries[1].enabled);
    EXPECT_FALSE(entries[2].enabled);
    EXPECT_TRUE(entries[3].shown);
    EXPECT_TRUE(entries[3].enabled);
    EXPECT_EQ(entries[3].label, "查看更新设置问题…");
    EXPECT_EQ(entries[3].action, SettingsAction::showUpdateIssue);
}

}  // namespace
}  // namespace pylonix
