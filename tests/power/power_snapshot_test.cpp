#include "power/power_snapshot.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

PowerSnapshot present() {
    PowerSnapshot snapshot;
    snapshot.batteryPresent = true;
    return snapshot;
}

TEST(PowerSnapshotStatusTest, FirstMatchingRuleWins) {
    PowerSnapshot snapshot = present();
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::discharging);

    snapshot.externalConnected = true;
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::connectedNotCharging);

    snapshot.isCharging = true;
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::charging);

    snapshot.isFullyCharged = true;  // full wins over charging
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::fullyCharged);

    snapshot.errorMessage = "无法读取电池数据。";  // an error wins over everything
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::unavailable);

    snapshot.errorMessage.reset();
    snapshot.batteryPresent = false;
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::unavailable);
}

TEST(PowerSnapshotTest, UnavailableSnapshotCarriesOnlyTheMessageAndTheReason) {
    const WallClockTime time = wallClockFromSeconds(1765000000.25);
    const PowerSnapshot snapshot = unavailableSnapshot("无法读取电池数据。", time);
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::unavailable);
    EXPECT_EQ(snapshot.timestamp, time);
    EXPECT_FALSE(snapshot.batteryPresent || snapshot.externalConnected || snapshot.isCharging ||
                 snapshot.isFullyCharged);
    EXPECT_FALSE(snapshot.batteryLevel || snapshot.batteryPowerWatts || snapshot.voltageVolts ||
                 snapshot.currentAmps || snapshot.adapterWatts || snapshot.timeRemainingMinutes);
    EXPECT_EQ(snapshot.errorMessage, "无法读取电池数据。");
    EXPECT_EQ(snapshot.systemPower,
              SystemPowerReading::unavailable("这台电脑暂未提供整机耗电数据。"));
}

TEST(PowerSnapshotTest, EqualityIsFieldByFieldIncludingTheTimestamp) {
    PowerSnapshot a = present();
    a.timestamp = wallClockFromSeconds(10);
    PowerSnapshot b = a;
    EXPECT_EQ(a, b);
    b.timestamp = wallClockFromSeconds(10.001);
    EXPECT_NE(a, b);
    b = a;
    b.systemPower.inputWatts = 3;
    EXPECT_NE(a, b);
    EXPECT_EQ(PowerSourceContext::of(a), (PowerSourceContext{false, false}));
}

}  // namespace
}  // namespace pylonix
