#include "power/make_snapshot.h"

#include <gtest/gtest.h>

#include <limits>

#include "power/system_power_estimate.h"

namespace pylonix {
namespace {

const WallClockTime kTime = wallClockFromSeconds(1765000000.5);

PowerSnapshot snapshotOf(const BatteryProperties& record) {
    return makeSnapshot(record, kTime);
}

TEST(MakeSnapshotTest, EmptyRecordIsAPresentBatteryWithNothingKnown) {
    const PowerSnapshot snapshot = snapshotOf({});
    EXPECT_TRUE(snapshot.batteryPresent);
    EXPECT_FALSE(snapshot.externalConnected || snapshot.isCharging || snapshot.isFullyCharged);
    EXPECT_FALSE(snapshot.batteryLevel || snapshot.batteryPowerWatts || snapshot.voltageVolts ||
                 snapshot.currentAmps || snapshot.adapterWatts || snapshot.timeRemainingMinutes);
    EXPECT_FALSE(snapshot.errorMessage);
    EXPECT_EQ(snapshot.timestamp, kTime);
    EXPECT_EQ(snapshot.systemPower.unavailableReason, estimate_reasons::kBatteryPowerInvalid);
}

TEST(MakeSnapshotTest, NoInstalledBatteryStillFillsTheOtherFields) {
    const PowerSnapshot snapshot =
        snapshotOf({{"BatteryInstalled", false}, {"Voltage", 12000}, {"InstantAmperage", -1500}});
    EXPECT_FALSE(snapshot.batteryPresent);
    EXPECT_EQ(snapshot.errorMessage, "未检测到内置电池。");
    EXPECT_EQ(snapshot.systemPower.unavailableReason, estimate_reasons::kNoBattery);
    EXPECT_EQ(snapshot.batteryPowerWatts, -18.0);
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::unavailable);
}

TEST(MakeSnapshotTest, FlagsFallBackToNestedRecords) {
    const PowerSnapshot snapshot =
        snapshotOf({{"ChargerData", BatteryProperties{{"IsCharging", 1}}},
                    {"BatteryData", BatteryProperties{{"FullyCharged", true}}},
                    {"ExternalConnected", true}});
    EXPECT_TRUE(snapshot.isCharging);
    EXPECT_TRUE(snapshot.isFullyCharged);
    EXPECT_EQ(snapshot.status(), PowerSnapshot::Status::fullyCharged);
    // The top level wins over the nested record.
    EXPECT_FALSE(snapshotOf({{"IsCharging", false},
                             {"ChargerData", BatteryProperties{{"IsCharging", true}}}})
                     .isCharging);
}

TEST(MakeSnapshotTest, CurrentAndBatteryPower) {
    EXPECT_EQ(snapshotOf({{"InstantAmperage", 65036}}).currentAmps, -0.5);
    EXPECT_EQ(snapshotOf({{"Amperage", -1200}}).currentAmps, -1.2);
    // Voltage x current wins over BatteryPower, with the sign of the current.
    const PowerSnapshot measured =
        snapshotOf({{"Voltage", 12000},
                    {"InstantAmperage", -1500},
                    {"BatteryData", BatteryProperties{{"BatteryPower", 9000}}}});
    EXPECT_EQ(measured.batteryPowerWatts, -18.0);
    EXPECT_EQ(measured.systemPower.watts, 18.0);
    // Without a voltage the reported power's sign comes from IsCharging alone.
    for (const int power : {-15000, 15000}) {
        const BatteryProperties batteryData{{"BatteryPower", power}};
        EXPECT_EQ(
            snapshotOf({{"BatteryData", batteryData}, {"IsCharging", true}}).batteryPowerWatts,
            15.0);
        EXPECT_EQ(
            snapshotOf({{"BatteryData", batteryData}, {"IsCharging", false}}).batteryPowerWatts,
            -15.0);
        EXPECT_EQ(snapshotOf({{"BatteryData", batteryData}}).batteryPowerWatts, -15.0);
    }
}

TEST(MakeSnapshotTest, OverflowingProductsAreNoReading) {
    const PowerSnapshot snapshot = snapshotOf(
        {{"Voltage", 1e308},
         {"InstantAmperage", std::int64_t{-9000000000000000000}},
         {"AdapterDetails", BatteryProperties{{"AdapterVoltage", 1e200}, {"Current", 1e200}}}});
    EXPECT_EQ(snapshot.voltageVolts, 1e305);
    EXPECT_FALSE(snapshot.batteryPowerWatts);
    EXPECT_FALSE(snapshot.adapterWatts);
    EXPECT_EQ(snapshot.systemPower.unavailableReason, estimate_reasons::kBatteryPowerInvalid);
}

TEST(MakeSnapshotTest, BatteryLevelIsARatioClampedToOne) {
    EXPECT_EQ(snapshotOf({{"CurrentCapacity", 120}, {"MaxCapacity", 100}}).batteryLevel, 1.0);
    EXPECT_EQ(snapshotOf({{"CurrentCapacity", -5}, {"MaxCapacity", 100}}).batteryLevel, 0.0);
    EXPECT_FALSE(snapshotOf({{"CurrentCapacity", 50}, {"MaxCapacity", 0}}).batteryLevel);
    EXPECT_FALSE(snapshotOf({{"CurrentCapacity", 50}}).batteryLevel);
    EXPECT_EQ(snapshotOf({{"BatteryData", BatteryProperties{{"CurrentCapacity", 4000}}},
                          {"MaxCapacity", 5000}})
                  .batteryLevel,
              0.8);
    // A denormal maximum makes an infinite ratio, which clamps like any ratio above one.
    EXPECT_EQ(snapshotOf({{"CurrentCapacity", 1.0}, {"MaxCapacity", 5e-324}}).batteryLevel, 1.0);
}

TEST(MakeSnapshotTest, AdapterRatingAndRemainingTime) {
    EXPECT_EQ(snapshotOf(
                  {{"AdapterDetails",
                    BatteryProperties{{"Watts", 0}, {"AdapterVoltage", 20000}, {"Current", 3250}}}})
                  .adapterWatts,
              0.0);
    EXPECT_EQ(snapshotOf({{"AdapterDetails",
                           BatteryProperties{{"AdapterVoltage", 20000}, {"Current", 3250}}}})
                  .adapterWatts,
              65.0);
    for (const std::int64_t kept : {1, 65534}) {
        EXPECT_EQ(snapshotOf({{"TimeRemaining", kept}}).timeRemainingMinutes, kept);
    }
    for (const BatteryValue& dropped : {BatteryValue(0), BatteryValue(65535), BatteryValue(-3),
                                        BatteryValue(std::uint64_t{1} << 63), BatteryValue(1e30)}) {
        EXPECT_FALSE(snapshotOf({{"TimeRemaining", dropped}}).timeRemainingMinutes);
    }
}

TEST(MakeSnapshotTest, WrongKindsLeaveFieldsAbsent) {
    const BatteryValue text(BatteryValue::Other{});
    const PowerSnapshot snapshot = snapshotOf({{"BatteryInstalled", text},
                                               {"Voltage", text},
                                               {"InstantAmperage", text},
                                               {"BatteryData", text},
                                               {"CurrentCapacity", text},
                                               {"MaxCapacity", 100},
                                               {"TimeRemaining", text}});
    EXPECT_TRUE(snapshot.batteryPresent);
    EXPECT_FALSE(snapshot.voltageVolts || snapshot.currentAmps || snapshot.batteryLevel ||
                 snapshot.timeRemainingMinutes || snapshot.batteryPowerWatts);
}

}  // namespace
}  // namespace pylonix
