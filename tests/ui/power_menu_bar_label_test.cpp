#include "ui/power_menu_bar_label.h"

#include <gtest/gtest.h>

#include <tuple>

#include "snapshot_builders.h"

namespace pylonix {
namespace {

using testing::chargingSnapshot;
using testing::dischargingSnapshot;

TEST(PowerMenuBarLabelTest, FailedReadingShowsWarningAndDash) {
    const auto label = makePowerMenuBarLabel(
        unavailableSnapshot("无法读取电池信息。", wallClockFromSeconds(0)), false);
    EXPECT_EQ(label.symbol, "exclamationmark.triangle");
    EXPECT_EQ(label.valueText, "— W");
    EXPECT_EQ(label.iconFigure, "—");
    EXPECT_EQ(label.accessibilityLabel, "整机耗电暂不可用");
    EXPECT_FALSE(label.showsUpdateBadge);
}

TEST(PowerMenuBarLabelTest, SymbolFollowsBatteryStateEvenWithoutFigure) {
    PowerSnapshot charging = chargingSnapshot();
    charging.systemPower = SystemPowerReading::unavailable("缺少实际输入读数。");
    auto label = makePowerMenuBarLabel(charging, false);
    EXPECT_EQ(label.symbol, "bolt.fill");
    EXPECT_EQ(label.valueText, "— W");

    PowerSnapshot full = chargingSnapshot();
    full.isFullyCharged = true;
    EXPECT_EQ(makePowerMenuBarLabel(full, false).symbol, "powerplug.fill");
    PowerSnapshot connected = chargingSnapshot();
    connected.isCharging = false;
    EXPECT_EQ(makePowerMenuBarLabel(connected, false).symbol, "powerplug.fill");
    EXPECT_EQ(makePowerMenuBarLabel(dischargingSnapshot(), false).symbol, "battery.50");
}

TEST(PowerMenuBarLabelTest, ValueTextAndIconFigureFormattingBoundaries) {
    const std::tuple<double, const char*, const char*> cases[] = {
        {0.03, "0.0 W", "0.0"},    {9.96, "10.0 W", "10"},  {99.94, "99.9 W", "100"},
        {99.96, "100.0 W", "100"}, {100.2, "100 W", "100"}, {12.3, "12.3 W", "12"}};
    for (const auto& [watts, text, figure] : cases) {
        const PowerMenuBarLabel label = makePowerMenuBarLabel(dischargingSnapshot(watts), false);
        EXPECT_EQ(label.valueText, text) << watts;
        EXPECT_EQ(label.iconFigure, figure) << watts;
    }
    EXPECT_EQ(makePowerMenuBarLabel(dischargingSnapshot(12.3), false).accessibilityLabel,
              "整机耗电估算 12.3 W，不含电池充电");
}

TEST(PowerMenuBarLabelTest, UpdateBadgeExtendsAccessibilityLabel) {
    const auto label = makePowerMenuBarLabel(
        unavailableSnapshot("无法读取电池信息。", wallClockFromSeconds(0)), true);
    EXPECT_TRUE(label.showsUpdateBadge);
    EXPECT_EQ(label.badgeSymbol, "arrow.down.circle.fill");
    EXPECT_EQ(label.accessibilityLabel, "整机耗电暂不可用，有软件更新可用");
    EXPECT_EQ(makePowerMenuBarLabel(dischargingSnapshot(12.3), true).accessibilityLabel,
              "整机耗电估算 12.3 W，不含电池充电，有软件更新可用");
    EXPECT_EQ(label.tooltip, "整机耗电估算，不含电池充电；面板中的分项使用约 2 秒平均值。");
}

}  // namespace
}  // namespace pylonix
