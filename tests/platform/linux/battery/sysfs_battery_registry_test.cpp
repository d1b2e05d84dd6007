#include "platform/linux/battery/sysfs_battery_registry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/linux/battery/platform_power_reader.h"
#include "power/system_power_estimate.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

fs::path fixture(const std::string& machine) {
    return fs::path(PYLONIX_FIXTURES_DIR) / "power_supply" / machine;
}

const WallClockTime kTime = wallClockFromSeconds(1765000000);

PowerSnapshot readMachine(const std::string& machine) {
    const IOKitPowerReader reader(std::make_shared<SysfsBatteryRegistry>(fixture(machine)),
                                  [] { return kTime; });
    return reader.read();
}

BatteryProperties recordOf(const std::string& machine) {
    const SysfsBatteryRegistry registry(fixture(machine));
    std::optional<BatteryValue> record;
    EXPECT_EQ(registry.createProperties(SysfsBatteryRegistry::kBatteryHandle, record),
              BatteryRegistry::kSuccess);
    return record && record->dictionary() ? *record->dictionary() : BatteryProperties{};
}

// End to end, from real uevent dumps through the reader.
TEST(SysfsReaderTest, EnergyReportingBatteryOnBatteryPower) {
    const PowerSnapshot s = readMachine("thinkpad_discharging");
    EXPECT_EQ(s.status(), PowerSnapshot::Status::discharging);
    EXPECT_FALSE(s.externalConnected);  // the Mains and USB-C nodes are offline
    EXPECT_DOUBLE_EQ(*s.batteryPowerWatts, -8.461);
    EXPECT_DOUBLE_EQ(*s.voltageVolts, 16.213);
    EXPECT_FALSE(s.currentAmps);
    EXPECT_DOUBLE_EQ(*s.batteryLevel, 37310000.0 / 50350000.0);
    EXPECT_DOUBLE_EQ(*s.systemPower.watts, 8.461);
    EXPECT_EQ(s.systemPower.source, SystemPowerReading::Source::batteryDischarge);
    EXPECT_FALSE(s.adapterWatts);  // an offline USB-C port has no negotiated rating
}

TEST(SysfsReaderTest, ChargeReportingBatteryChargingHasNoMeasuredInput) {
    const PowerSnapshot s = readMachine("dell_charging");
    EXPECT_EQ(s.status(), PowerSnapshot::Status::charging);
    EXPECT_TRUE(s.externalConnected);
    EXPECT_DOUBLE_EQ(*s.currentAmps, 2.41);
    EXPECT_DOUBLE_EQ(*s.batteryPowerWatts, 2.41 * 12.874);
    EXPECT_DOUBLE_EQ(*s.batteryLevel, 3012000.0 / 5401000.0);
    EXPECT_EQ(s.systemPower.unavailableReason, estimate_reasons::kNoActualInput);
    EXPECT_FALSE(s.systemPower.inputWatts);
}

TEST(SysfsReaderTest, FullBatteryOnPowerDeliveryChargerGetsTheRatingOnly) {
    const PowerSnapshot s = readMachine("framework_full");
    EXPECT_EQ(s.status(), PowerSnapshot::Status::fullyCharged);
    EXPECT_EQ(s.adapterWatts, 65.0);
    EXPECT_EQ(s.currentAmps, 0.0);
    EXPECT_EQ(s.batteryLevel, 1.0);
    // The rating never stands in for the actual input.
    EXPECT_EQ(s.systemPower.unavailableReason, estimate_reasons::kNoActualInput);
    EXPECT_FALSE(recordOf("framework_full").contains("PowerTelemetryData"));
}

TEST(SysfsReaderTest, NotChargingOnTheAdapter) {
    const PowerSnapshot s = readMachine("lenovo_not_charging");
    EXPECT_EQ(s.status(), PowerSnapshot::Status::connectedNotCharging);
    EXPECT_EQ(s.batteryPowerWatts, 0.0);
    EXPECT_FALSE(std::signbit(*s.batteryPowerWatts));
    EXPECT_DOUBLE_EQ(*s.batteryLevel, 38480000.0 / 48120000.0);
}

TEST(SysfsReaderTest, DirectionComesFromTheStatusNotTheSignAndFilesStandInForTheUevent) {
    // This driver has no readable uevent, reports a negative current while discharging, and
    // the machine has no adapter node at all.
    const PowerSnapshot s = readMachine("chromebook_discharging");
    EXPECT_EQ(s.status(), PowerSnapshot::Status::discharging);
    EXPECT_DOUBLE_EQ(*s.currentAmps, -1.52);
    EXPECT_DOUBLE_EQ(*s.systemPower.watts, 1.52 * 8.123);
    EXPECT_EQ(s.timeRemainingMinutes, 240);
    EXPECT_FALSE(s.externalConnected);  // no adapter node: the status says "Discharging"
}

TEST(SysfsReaderTest, TwoBatteriesMakeOneRecord) {
    const BatteryProperties record = recordOf("thinkpad_two_batteries");
    EXPECT_FALSE(record.contains("Voltage"));
    EXPECT_FALSE(record.contains("InstantAmperage"));
    EXPECT_EQ(record.at("CurrentCapacity"), BatteryValue(std::int64_t{20010000 + 31020000}));
    EXPECT_EQ(record.at("MaxCapacity"), BatteryValue(std::int64_t{22140000 + 66880000}));

    const PowerSnapshot s = readMachine("thinkpad_two_batteries");
    EXPECT_EQ(s.status(), PowerSnapshot::Status::discharging);
    EXPECT_DOUBLE_EQ(*s.batteryPowerWatts, -6.31);
    EXPECT_DOUBLE_EQ(*s.systemPower.watts, 6.31);
    EXPECT_FALSE(s.voltageVolts);
}

TEST(SysfsReaderTest, PeripheralBatteriesAreNeverTheSystemBattery) {
    const PowerSnapshot laptop = readMachine("laptop_with_mouse");
    EXPECT_DOUBLE_EQ(*laptop.batteryLevel, 1030000.0 / 4123000.0);
    EXPECT_DOUBLE_EQ(*laptop.currentAmps, -1.05);
    EXPECT_FALSE(laptop.externalConnected);  // the mouse's "online" is not an adapter

    EXPECT_EQ(readMachine("desktop_with_headset"),
              unavailableSnapshot("未找到电池信息；此应用仅支持带内置电池的电脑。", kTime));
}

TEST(SysfsReaderTest, GarbageValuesLeaveTheirKeysOut) {
    const BatteryProperties record = recordOf("garbage_values");
    for (const char* key : {"Voltage", "InstantAmperage", "ExternalConnected", "BatteryData"}) {
        EXPECT_FALSE(record.contains(key)) << key;
    }
    const PowerSnapshot s = readMachine("garbage_values");
    EXPECT_DOUBLE_EQ(*s.batteryLevel, 0.41);  // energy_now is empty: capacity is used
    EXPECT_EQ(s.systemPower.unavailableReason, estimate_reasons::kBatteryPowerInvalid);
}

TEST(SysfsReaderTest, EmptyBayIsNoInstalledBattery) {
    const PowerSnapshot s = readMachine("battery_removed");
    EXPECT_FALSE(s.batteryPresent);
    EXPECT_TRUE(s.externalConnected);
    EXPECT_EQ(s.errorMessage, "未检测到内置电池。");
    EXPECT_EQ(s.systemPower.unavailableReason, estimate_reasons::kNoBattery);
}

TEST(SysfsRegistryTest, MissingRootFindsNoService) {
    const SysfsBatteryRegistry registry("/nonexistent/power_supply");
    EXPECT_EQ(registry.getMatchingService(registry.serviceMatching("AppleSmartBattery")), 0U);
}

TEST(SysfsRegistryTest, BatteryVanishingAfterTheLookupFailsTheCopy) {
    const fs::path root = fs::temp_directory_path() / "pylonix_vanishing_battery";
    fs::remove_all(root);
    fs::copy(fixture("dell_charging"), root, fs::copy_options::recursive);
    const SysfsBatteryRegistry registry(root);
    const auto handle = registry.getMatchingService(registry.serviceMatching("AppleSmartBattery"));
    ASSERT_NE(handle, 0U);
    fs::remove_all(root / "BAT0");
    std::optional<BatteryValue> record;
    EXPECT_NE(registry.createProperties(handle, record), BatteryRegistry::kSuccess);
    EXPECT_FALSE(record);
    fs::remove_all(root);
}

TEST(UeventTest, IgnoresLinesOfOtherFormsAndEmptyValues) {
    PowerSupplyNode node;
    parseUevent("POWER_SUPPLY_STATUS=Charging\nDEVTYPE=power_supply\nPOWER_SUPPLY_=x\n"
                "POWER_SUPPLY_ENERGY_NOW=\nPOWER_SUPPLY_MODEL_NAME=A=B \ngarbage",
                node);
    EXPECT_EQ(node.attributes.size(), 2U);
    EXPECT_EQ(*node.attribute("status"), "Charging");
    EXPECT_EQ(*node.attribute("model_name"), "A=B");
}

}  // namespace
}  // namespace pylonix::linux_platform
