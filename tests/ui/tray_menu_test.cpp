#include "ui/tray_menu.h"

#include <gtest/gtest.h>

#include "ui/power_settings_menu.h"

namespace pylonix {
namespace {

TEST(TrayMenuTest, OpenRefreshAndQuitSayWhatTheSettingsMenuSays) {
    const auto entries = trayMenuEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].action, TrayMenuAction::openPanel);
    EXPECT_EQ(entries[0].label, "打开 Pylonix");
    EXPECT_EQ(entries[1].action, TrayMenuAction::refreshNow);
    EXPECT_EQ(entries[2].action, TrayMenuAction::quit);
    // The same texts as the settings menu's entries for the same actions.
    const PowerSettingsMenu settings = makePowerSettingsMenu({});
    const auto labelOf = [&](SettingsAction action) {
        for (const auto& entry : settings.entries) {
            if (entry.action == action) return entry.label;
        }
        return std::string();
    };
    EXPECT_EQ(entries[1].label, labelOf(SettingsAction::refresh));
    EXPECT_EQ(entries[2].label, labelOf(SettingsAction::quit));
}

}  // namespace
}  // namespace pylonix
