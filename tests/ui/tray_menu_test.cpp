#include "ui/tray_menu.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

TEST(TrayMenuTest, OpenRefreshAndQuitWithTheirTexts) {
    const auto entries = trayMenuEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].action, TrayMenuAction::openPanel);
    EXPECT_EQ(entries[0].label, "打开 Pylonix");
    EXPECT_EQ(entries[1].action, TrayMenuAction::refreshNow);
    EXPECT_EQ(entries[1].label, "立即刷新");
    EXPECT_EQ(entries[2].action, TrayMenuAction::quit);
    EXPECT_EQ(entries[2].label, "退出 Pylonix");
}

}  // namespace
}  // namespace pylonix
