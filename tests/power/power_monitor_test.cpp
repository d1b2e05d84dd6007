#include "power/power_monitor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/in_memory_preferences_store.h"
#include "platform/testing/recording_power_reader.h"
#include "platform/testing/virtual_executor.h"

namespace pylonix {
namespace {

using namespace std::chrono_literals;
using pylonix::test_doubles::RecordingPowerReader;
using pylonix::test_doubles::VirtualExecutor;
using std::chrono::nanoseconds;
using ::testing::ElementsAre;

class PowerMonitorTest : public ::testing::Test {
  protected:
    std::shared_ptr<PowerMonitor> makeMonitor() {
        auto reader = std::make_unique<RecordingPowerReader>(executor);
        readTimes = reader->readTimes();
        auto monitor = PowerMonitor::create(std::move(reader), preferences, executor);
        snapshotObservation = monitor->observeSnapshot([this](const PowerSnapshot& snapshot) {
            published.push_back(nanoseconds(
                static_cast<long long>(std::llround(secondsSince1970(snapshot.timestamp) * 1e9))));
            events.push_back("snapshot");
        });
        intervalObservation = monitor->observeRefreshInterval([this](RefreshInterval interval) {
            events.push_back("interval " + std::to_string(interval.rawValue()));
        });
        return monitor;
    }

    VirtualExecutor executor;
    InMemoryPreferencesStore preferences;
    std::shared_ptr<const RecordingPowerReader::ReadTimes> readTimes;
    std::vector<nanoseconds> published;  // the virtual time of each published reading
    std::vector<std::string> events;
    Subscription snapshotObservation;
    Subscription intervalObservation;
};

TEST_F(PowerMonitorTest, IntervalComesFromThePreferenceAndNothingIsWrittenBack) {
    const std::vector<std::pair<std::optional<double>, RefreshInterval>> cases = {
        {0.5, RefreshInterval::halfSecond},         {5.0, RefreshInterval::fiveSeconds},
        {0.75, RefreshInterval::oneSecond},         {10.0, RefreshInterval::oneSecond},
        {0.0, RefreshInterval::oneSecond},          {-1.0, RefreshInterval::oneSecond},
        {std::nan(""), RefreshInterval::oneSecond}, {std::nullopt, RefreshInterval::oneSecond},
    };
    for (const auto& [stored, expected] : cases) {
        InMemoryPreferencesStore store;
        if (stored) store.writeDouble(kRefreshIntervalPreferenceKey, *stored);
        const int writesBefore = store.writeCount();
        const auto monitor =
            PowerMonitor::create(std::make_unique<RecordingPowerReader>(executor), store, executor);
        EXPECT_EQ(monitor->refreshInterval(), expected) << stored.value_or(-99);
        EXPECT_EQ(store.writeCount(), writesBefore);
        EXPECT_FALSE(monitor->isRunning());
    }
}

TEST_F(PowerMonitorTest, StartReadsAtOnceThenOncePerInterval) {
    const auto monitor = makeMonitor();
    EXPECT_THAT(*readTimes, ElementsAre(0ns));  // creation reads
    monitor->start();
    EXPECT_THAT(*readTimes, ElementsAre(0ns, 0ns));
    EXPECT_THAT(published, ElementsAre(0ns));
    EXPECT_TRUE(monitor->isRunning());

    executor.advanceBy(999ms);
    EXPECT_EQ(readTimes->size(), 2U);
    executor.advanceBy(1ms);
    executor.advanceBy(2s);
    EXPECT_THAT(published, ElementsAre(0ns, 1s, 2s, 3s));
    EXPECT_EQ(preferences.writeCount(), 0);
}

TEST_F(PowerMonitorTest, SecondStartWhileRunningDoesNothing) {
    const auto monitor = makeMonitor();
    monitor->start();
    executor.advanceBy(400ms);
    monitor->start();
    EXPECT_THAT(published, ElementsAre(0ns));
    executor.advanceBy(3s);
    // Still one loop: one reading per second, on the first loop's schedule.
    EXPECT_THAT(published, ElementsAre(0ns, 1s, 2s, 3s));
}

TEST_F(PowerMonitorTest, ChangingTheIntervalWhileRunningRestartsTheLoop) {
    const auto monitor = makeMonitor();
    monitor->start();
    executor.advanceBy(1300ms);
    events.clear();

    monitor->setRefreshInterval(RefreshInterval::fiveSeconds);
    EXPECT_EQ(preferences.readDouble(kRefreshIntervalPreferenceKey), 5.0);
    EXPECT_EQ(preferences.writeCount(), 1);
    // Published first, then the restart reads at once.
    EXPECT_THAT(events, ElementsAre("interval 5.000000", "snapshot"));
    EXPECT_THAT(published, ElementsAre(0ns, 1s, 1300ms));

    // The old loop would have read at 2 s; it wakes, sees its cancellation and stays quiet.
    executor.advanceBy(4999ms);
    EXPECT_THAT(published, ElementsAre(0ns, 1s, 1300ms));
    executor.advanceBy(1ms);
    executor.advanceBy(5s);
    EXPECT_THAT(published, ElementsAre(0ns, 1s, 1300ms, 6300ms, 11300ms));
    EXPECT_TRUE(monitor->isRunning());
}

TEST_F(PowerMonitorTest, SettingTheCurrentIntervalPublishesButWritesAndRestartsNothing) {
    const auto monitor = makeMonitor();
    monitor->start();
    executor.advanceBy(600ms);
    events.clear();
    monitor->setRefreshInterval(RefreshInterval::oneSecond);
    EXPECT_THAT(events, ElementsAre("interval 1.000000"));
    EXPECT_EQ(preferences.writeCount(), 0);
    executor.advanceBy(1400ms);
    EXPECT_THAT(published, ElementsAre(0ns, 1s, 2s));
}

TEST_F(PowerMonitorTest, ChangingTheIntervalBeforeStartOnlyStoresIt) {
    const auto monitor = makeMonitor();
    monitor->setRefreshInterval(RefreshInterval::halfSecond);
    EXPECT_EQ(preferences.readDouble(kRefreshIntervalPreferenceKey), 0.5);
    EXPECT_THAT(*readTimes, ElementsAre(0ns));
    EXPECT_FALSE(monitor->isRunning());
    EXPECT_EQ(executor.pendingCount(), 0U);

    executor.advanceBy(2s);
    monitor->start();
    executor.advanceBy(1s);
    EXPECT_THAT(published, ElementsAre(2s, 2500ms, 3s));
}

TEST_F(PowerMonitorTest, RefreshReadsAtOnceAndKeepsTheSchedule) {
    const auto monitor = makeMonitor();
    monitor->refresh();  // also before start: just a reading
    EXPECT_FALSE(monitor->isRunning());
    monitor->start();
    executor.advanceBy(400ms);
    monitor->refresh();
    executor.advanceBy(600ms);
    EXPECT_THAT(published, ElementsAre(0ns, 0ns, 400ms, 1s));
}

TEST_F(PowerMonitorTest, DestroyingTheMonitorEndsItsSleepingLoopWithoutReading) {
    auto monitor = makeMonitor();
    monitor->start();
    executor.advanceBy(500ms);
    const std::weak_ptr<PowerMonitor> watcher = monitor;
    monitor.reset();
    EXPECT_TRUE(watcher.expired());  // the sleeping loop does not keep it alive

    executor.advanceBy(10s);
    EXPECT_EQ(readTimes->size(), 2U);
    EXPECT_EQ(executor.pendingCount(), 0U);
}

TEST_F(PowerMonitorTest, AnObserverStartingTheMonitorDuringStartLeavesOneLoop) {
    const auto monitor = makeMonitor();
    bool startedFromObserver = false;
    const Subscription reentrant = monitor->observeSnapshot([&](const PowerSnapshot&) {
        if (startedFromObserver) return;
        startedFromObserver = true;
        monitor->start();
    });
    monitor->start();
    published.clear();
    executor.advanceBy(2s);
    EXPECT_THAT(published, ElementsAre(1s, 2s));
}

}  // namespace
}  // namespace pylonix
