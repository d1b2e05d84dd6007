#include "power/iokit_power_reader.h"

#include <gtest/gtest.h>

#include <map>

namespace pylonix {
namespace {

// A registry double that records how its handles are used.
class FakeRegistry final : public BatteryRegistry {
  public:
    Handle service = 7;
    ReturnCode copyResult = kSuccess;
    std::optional<BatteryValue> copied = BatteryValue(BatteryProperties{});

    mutable std::string matchedClass;
    mutable std::map<Handle, int> releases;
    mutable int copies = 0;

    Handle getMatchingService(const Matching& matching) const override {
        matchedClass = matching.className;
        return service;
    }
    ReturnCode createProperties(Handle handle, std::optional<BatteryValue>& out) const override {
        EXPECT_EQ(handle, service);
        ++copies;
        out = copied;
        return copyResult;
    }
    void release(Handle handle) const override { ++releases[handle]; }
};

const WallClockTime kTime = wallClockFromSeconds(42.5);

PowerSnapshot readWith(const std::shared_ptr<FakeRegistry>& registry) {
    return IOKitPowerReader(registry, [] { return kTime; }).read();
}

TEST(IOKitPowerReaderTest, NoServiceIsTheNoBatteryControllerSnapshot) {
    auto registry = std::make_shared<FakeRegistry>();
    registry->service = 0;
    EXPECT_EQ(readWith(registry),
              unavailableSnapshot("未找到电池信息；此应用仅支持带内置电池的电脑。", kTime));
    EXPECT_EQ(registry->matchedClass, "AppleSmartBattery");
    EXPECT_EQ(registry->copies, 0);
    EXPECT_TRUE(registry->releases.empty());
}

TEST(IOKitPowerReaderTest, FailedCopiesReleaseTheHandleOnce) {
    const PowerSnapshot unreadable = unavailableSnapshot("无法读取电池数据。", kTime);
    const auto failing = [](auto configure) {
        auto registry = std::make_shared<FakeRegistry>();
        configure(*registry);
        return registry;
    };
    for (const auto& registry :
         {failing([](FakeRegistry& r) { r.copyResult = 5; }),
          failing([](FakeRegistry& r) { r.copied.reset(); }),
          failing([](FakeRegistry& r) { r.copied = BatteryValue(12); }),
          failing([](FakeRegistry& r) { r.copied = BatteryValue(BatteryValue::Other{}); })}) {
        EXPECT_EQ(readWith(registry), unreadable);
        EXPECT_EQ(registry->releases, (std::map<BatteryRegistry::Handle, int>{{7, 1}}));
    }
}

TEST(IOKitPowerReaderTest, SuccessfulCopyBecomesTheSnapshotAndReleasesOnce) {
    auto registry = std::make_shared<FakeRegistry>();
    registry->copied = BatteryValue(BatteryProperties{{"Voltage", 12000},
                                                      {"InstantAmperage", 64036},
                                                      {"CurrentCapacity", 43},
                                                      {"MaxCapacity", 50}});
    const PowerSnapshot snapshot = readWith(registry);
    EXPECT_EQ(snapshot.timestamp, kTime);
    EXPECT_EQ(snapshot.currentAmps, -1.5);
    EXPECT_EQ(snapshot.systemPower.watts, 18.0);
    EXPECT_EQ(snapshot.batteryLevel, 0.86);
    EXPECT_EQ(registry->releases, (std::map<BatteryRegistry::Handle, int>{{7, 1}}));
}

}  // namespace
}  // namespace pylonix
