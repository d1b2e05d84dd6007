#include "ui/panel_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pylonix {
namespace {

TEST(PanelLayoutTest, HeightFollowsVisibleScreenArea) {
    EXPECT_EQ(panelHeight(std::nullopt), 780);
    EXPECT_EQ(panelHeight(700.0), 640);
    EXPECT_EQ(panelHeight(840.0), 780);
    EXPECT_EQ(panelHeight(900.0), 780);
    // Screens too short for the margin, or nonsense sizes, still give a usable panel.
    EXPECT_EQ(panelHeight(50.0), 50);
    EXPECT_EQ(panelHeight(0.0), 780);
    EXPECT_EQ(panelHeight(std::numeric_limits<double>::quiet_NaN()), 780);
}

TEST(PanelLayoutTest, FooterShowsShortTimeInUsersStyle) {
    // 2025-12-06 05:45:30 UTC.
    const WallClockTime time = wallClockFromSeconds(1764999930.0);
    EXPECT_EQ(footerUpdatedAt(time, {"zh_CN", "Asia/Shanghai"}), "更新于 13:45");
    EXPECT_EQ(footerUpdatedAt(time, {"en_US", "UTC"}), "更新于 5:45\u202fAM")
        << "ICU's en_US short time uses a narrow no-break space";
    EXPECT_EQ(footerUpdatedAt(wallClockFromSeconds(std::numeric_limits<double>::infinity()),
                              {"zh_CN", "UTC"}),
              "更新于 —");
}

TEST(PanelLayoutTest, UpdateShortcutPresenceAndEnabling) {
    EXPECT_FALSE(makeUpdateShortcut(false, true, false));
    const auto enabled = makeUpdateShortcut(true, true, false);
    ASSERT_TRUE(enabled);
    EXPECT_TRUE(enabled->enabled);
    EXPECT_EQ(enabled->label, "有新版本");
    EXPECT_EQ(enabled->tooltip, "查看新版本并在 App 内更新");
    EXPECT_EQ(enabled->identifier, "update-available-shortcut");
    EXPECT_FALSE(makeUpdateShortcut(true, false, false)->enabled);
    EXPECT_FALSE(makeUpdateShortcut(true, true, true)->enabled);
}

TEST(PanelLayoutTest, VersionFallsBackToDash) {
    EXPECT_EQ(versionText(std::nullopt), "—");
    EXPECT_EQ(versionText("1.2.0"), "1.2.0");
}

}  // namespace
}  // namespace pylonix
