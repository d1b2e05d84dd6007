#include "ui/system_power_panel.h"

#include <gtest/gtest.h>

#include "snapshot_builders.h"

namespace pylonix {
namespace {

using testing::chargingSnapshot;
using testing::dischargingSnapshot;

TEST(StatusHeaderTest, EveryStatusHasItsTitleSymbolAndColour) {
    using S = PowerSnapshot::Status;
    EXPECT_EQ(statusPresentation(S::charging),
              (StatusPresentation{"充电中", "bolt.fill", UiColor::green}));
    EXPECT_EQ(statusPresentation(S::connectedNotCharging),
              (StatusPresentation{"已接入电源", "pause.fill", UiColor::blue}));
    EXPECT_EQ(statusPresentation(S::fullyCharged),
              (StatusPresentation{"电池已充满", "checkmark", UiColor::green}));
    EXPECT_EQ(statusPresentation(S::discharging),
              (StatusPresentation{"电池供电", "battery.50", UiColor::orange}));
    EXPECT_EQ(statusPresentation(S::unavailable),
              (StatusPresentation{"无法读取", "exclamationmark.triangle.fill", UiColor::red}));
}

TEST(StatusHeaderTest, PercentOnlyWithBatteryLevel) {
    const StatusHeader header = makeStatusHeader(dischargingSnapshot());
    EXPECT_EQ(header.badge.title, "电池供电");
    EXPECT_EQ(header.percentText, "86%");
    EXPECT_EQ(header.percentAccessibilityLabel, "电池电量 86%");

    PowerSnapshot noBattery;
    const StatusHeader missing = makeStatusHeader(noBattery);
    EXPECT_EQ(missing.badge,
              (StatusBadge{"无法读取", "exclamationmark.triangle.fill", UiColor::red}));
    EXPECT_FALSE(missing.percentText);
    EXPECT_FALSE(missing.percentAccessibilityLabel);
}

TEST(PowerTilesTest, ErrorNoticeReplacesTiles) {
    const PowerSnapshot failed = unavailableSnapshot("无法读取电池信息。", wallClockFromSeconds(0));
    EXPECT_EQ(makeErrorNotice(failed),
              (InlineNotice{"无法读取电池信息。", InlineNotice::Tone::error}));
    EXPECT_FALSE(makePowerTiles(failed));
    EXPECT_FALSE(makeErrorNotice(dischargingSnapshot()));
    EXPECT_TRUE(makePowerTiles(dischargingSnapshot()));
}

TEST(PowerTilesTest, BatteryTileTitleAndUnsignedValue) {
    PowerSnapshot snapshot = dischargingSnapshot();
    snapshot.batteryPowerWatts = -0.01;
    auto tiles = makePowerTiles(snapshot);
    EXPECT_EQ((*tiles)[0].tile.title, "电池放电");
    EXPECT_EQ((*tiles)[0].tile.value, "0.0 W");
    EXPECT_EQ((*tiles)[0].tile.color, UiColor::orange);

    tiles = makePowerTiles(chargingSnapshot());
    EXPECT_EQ((*tiles)[0].tile.title, "电池充电");
    EXPECT_EQ((*tiles)[0].tile.value, "20.0 W");
    EXPECT_EQ((*tiles)[0].tile.color, UiColor::green);

    snapshot.batteryPowerWatts.reset();
    tiles = makePowerTiles(snapshot);
    EXPECT_EQ((*tiles)[0].tile.title, "电池充电");
    EXPECT_EQ((*tiles)[0].tile.value, "—");
    EXPECT_EQ((*tiles)[0].tooltip, "电池端净充放电功率，不作为额外的整机耗电分项相加。");
}

TEST(PowerTilesTest, AdapterTileIgnoresLeftoverRatingOnBattery) {
    PowerSnapshot onBattery = dischargingSnapshot();
    onBattery.adapterWatts = 60.0;
    EXPECT_EQ((*makePowerTiles(onBattery))[1].tile.value, "未接入");
    EXPECT_EQ((*makePowerTiles(chargingSnapshot()))[1].tile.value, "96.0 W");
    PowerSnapshot unrated = chargingSnapshot();
    unrated.adapterWatts.reset();
    const auto tiles = makePowerTiles(unrated);
    EXPECT_EQ((*tiles)[1].tile.value, "—");
    EXPECT_EQ((*tiles)[1].tile.color, UiColor::indigo);
    EXPECT_EQ((*tiles)[1].tooltip, "当前协商的供电能力，不是实际输入或电脑耗电。");
}

TEST(PowerDetailsTest, RowsAndValues) {
    const PowerDetails details = makePowerDetails(chargingSnapshot(), true);
    ASSERT_EQ(details.rows.size(), 4u);
    EXPECT_EQ(details.rows[0], (DetailRow{"实际输入", "35.0 W"}));
    EXPECT_EQ(details.rows[1], (DetailRow{"电池电压", "12.80 V"}));
    EXPECT_EQ(details.rows[2], (DetailRow{"电池电流", "+1.56 A"}));
    EXPECT_EQ(details.rows[3], (DetailRow{"预计充满", "约 1 小时 35 分钟"}));
    EXPECT_EQ(details.sourceText, "实际输入减去电池净充电，含机内供电损耗");
    EXPECT_TRUE(details.expanded);
}

TEST(PowerDetailsTest, FullChargeRowFollowsIsCharging) {
    PowerSnapshot full = chargingSnapshot();
    full.isFullyCharged = true;  // still charging: the row stays
    EXPECT_EQ(makePowerDetails(full, false).rows.size(), 4u);
    PowerSnapshot discharging = dischargingSnapshot(18.0);
    discharging.currentAmps = -1.5;
    const PowerDetails details = makePowerDetails(discharging, false);
    ASSERT_EQ(details.rows.size(), 3u);  // has minutes, but not charging
    EXPECT_EQ(details.rows[0].value, "—");
    EXPECT_EQ(details.rows[2].value, "−1.50 A");
    EXPECT_EQ(details.sourceText, "由电池放电估算，含机内供电损耗");
}

TEST(PowerDetailsTest, MissingNumbersShowDashes) {
    const PowerDetails details =
        makePowerDetails(unavailableSnapshot("x", wallClockFromSeconds(0)), false);
    for (const DetailRow& row : details.rows) EXPECT_EQ(row.value, "—") << row.label;
    EXPECT_EQ(details.sourceText, "系统未提供可用的整机读数。");
    EXPECT_EQ(details.footnote,
              "适配器数值为供电能力；实际输入不包含适配器自身损耗，均非插座电表实测。");
}

}  // namespace
}  // namespace pylonix
