#include "platform/linux/battery/sysfs_power_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <future>
#include <thread>

#include "platform/linux/battery/power_supply_record.h"
#include "power/iokit_power_reader.h"
#include "power/system_power_estimate.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

fs::path fixture(const std::string& machine) {
    return fs::path(PYLONIX_FIXTURES_DIR) / "power_supply" / machine;
}

const WallClockTime kTime = wallClockFromSeconds(1765000000);

PowerSnapshot readTree(const fs::path& root) {
    return SysfsPowerReader(root, [] { return kTime; }).read();
}
PowerSnapshot readMachine(const std::string& machine) {
    return readTree(fixture(machine));
}

BatteryProperties recordOf(const std::string& machine) {
    const BatteryRecordRead read = SysfsPowerReader(fixture(machine)).readProperties();
    EXPECT_TRUE(read.properties) << read.failureMessage;
    return read.properties.value_or(BatteryProperties{});
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
              unavailableSnapshot(kNoBatteryServiceMessage, kTime));
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

// A copy of a fixture machine in a folder of its own, to plant faults in.
class SysfsTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("pylonix_power_supply_" + std::to_string(::getpid()));
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    void copyMachine(const std::string& machine) {
        fs::copy(fixture(machine), root_, fs::copy_options::recursive);
    }
    // Reads on a thread of its own, so that a read that blocks fails the test, not hangs it.
    std::optional<BatteryRecordRead> readWithinSeconds(int seconds) const {
        auto task = std::make_shared<std::packaged_task<BatteryRecordRead()>>(
            [root = root_] { return SysfsPowerReader(root).readProperties(); });
        std::future<BatteryRecordRead> result = task->get_future();
        std::thread([task] { (*task)(); }).detach();
        if (result.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
            return std::nullopt;
        }
        return result.get();
    }

    fs::path root_;
};

TEST_F(SysfsTreeTest, NoBatteryOnlyWhenEverythingListedWasRead) {
    EXPECT_EQ(readTree("/nonexistent/power_supply"),
              unavailableSnapshot(kNoBatteryServiceMessage, kTime));

    // A stray file beside the nodes is not a node.
    copyMachine("desktop_with_headset");
    std::ofstream(root_ / "README") << "not a supply\n";
    EXPECT_EQ(readTree(root_).errorMessage, kNoBatteryServiceMessage);

    // A node that vanished between the listing and the read (sysfs nodes are links) may have
    // been the battery.
    fs::create_directory_symlink("../gone/BAT0", root_ / "BAT0");
    EXPECT_EQ(readTree(root_), unavailableSnapshot(kBatteryUnreadableMessage, kTime));

    // A folder that cannot be listed.
    fs::remove_all(root_);
    std::ofstream(root_) << "not a folder\n";
    EXPECT_EQ(readTree(root_).errorMessage, kBatteryUnreadableMessage);
}

TEST_F(SysfsTreeTest, AVanishedChargerNodeLeavesTheBatteryReadable) {
    copyMachine("thinkpad_discharging");
    fs::create_directory_symlink("../gone/ucsi-source-psy-USBC000:002",
                                 root_ / "ucsi-source-psy-USBC000:002");
    EXPECT_EQ(readTree(root_), readMachine("thinkpad_discharging"));
}

TEST_F(SysfsTreeTest, FifosPlantedInTheTreeAreSkippedNotWaitedOn) {
    // As the uevent: the node is read file by file instead, and its type file names a battery.
    copyMachine("dell_charging");
    fs::remove(root_ / "BAT0" / "uevent");
    ASSERT_EQ(::mkfifo((root_ / "BAT0" / "uevent").c_str(), 0600), 0);
    auto read = readWithinSeconds(10);
    ASSERT_TRUE(read) << "the read blocked on a FIFO";
    ASSERT_TRUE(read->properties);
    EXPECT_EQ(*read->properties, (BatteryProperties{{"ExternalConnected", true}}));

    // As an attribute file of a node read file by file: only that attribute is missing.
    fs::remove_all(root_);
    copyMachine("chromebook_discharging");
    fs::remove(root_ / "sbs-battery" / "status");
    ASSERT_EQ(::mkfifo((root_ / "sbs-battery" / "status").c_str(), 0600), 0);
    read = readWithinSeconds(10);
    ASSERT_TRUE(read) << "the read blocked on a FIFO";
    ASSERT_TRUE(read->properties);
    EXPECT_FALSE(read->properties->contains("IsCharging"));
    EXPECT_EQ(read->properties->at("CurrentCapacity"), BatteryValue(std::int64_t{2911000}));
}

TEST_F(SysfsTreeTest, TheTypeFileStandsInForAUeventWithoutIt) {
    fs::create_directories(root_ / "BAT0");
    std::ofstream(root_ / "BAT0" / "uevent")
        << "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_CAPACITY=57\n";
    std::ofstream(root_ / "BAT0" / "type") << "Battery\n";
    EXPECT_DOUBLE_EQ(*readTree(root_).batteryLevel, 0.57);
}

TEST(UeventTest, KeepsTheRecordsAttributesAndIgnoresOtherLinesAndEmptyValues) {
    PowerSupplyNode node;
    parseUevent(
        "POWER_SUPPLY_STATUS=Charging\nDEVTYPE=power_supply\nPOWER_SUPPLY_=x\n"
        "POWER_SUPPLY_ENERGY_NOW=\nPOWER_SUPPLY_MODEL_NAME=A=B \ngarbage\n"
        "POWER_SUPPLY_CYCLE_COUNT=312",
        node);
    EXPECT_EQ(node.attributes.size(), 2U);
    EXPECT_EQ(*node.attribute("status"), "Charging");
    EXPECT_EQ(*node.attribute("model_name"), "A=B");
}

}  // namespace
}  // namespace pylonix::linux_platform
