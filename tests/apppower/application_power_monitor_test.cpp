#include "apppower/application_power_monitor.h"

#include <gtest/gtest.h>

#include <deque>

#include "apppower/power_balance.h"
#include "platform/testing/virtual_executor.h"
#include "recorded_process_source.h"

namespace pylonix {
namespace {

using namespace std::chrono_literals;
using Case = ApplicationPowerSnapshot::State::Case;
using BalanceCase = PowerBalanceSnapshot::State::Case;
using test_doubles::VirtualExecutor;

constexpr std::uint64_t kSecond = 1'000'000'000;

using testing_support::iconName;
using testing_support::NamedIcon;

const RunningApplicationIdentity kEditor{"/Editor", "Editor", {10}};

// The reader's operations held open until the test answers them.
class FakeSampling final : public ApplicationPowerSampling {
  public:
    struct EnergyCall {
        std::set<std::string> cachedIconIds;
        std::function<void(EnergyPass)> done;
    };
    std::deque<EnergyCall> energyCalls;
    std::deque<std::function<void(TimedPowerSample)>> powerCalls;
    std::vector<std::string> log;  // "energy" / "power" with the virtual time in ms

    explicit FakeSampling(VirtualExecutor& executor) : executor_(executor) {}

    void sampleEnergy(std::set<std::string> cachedIconIds,
                      std::function<void(EnergyPass)> done) override {
        log.push_back("energy@" + std::to_string(nowMs()));
        energyCalls.push_back({std::move(cachedIconIds), std::move(done)});
    }
    void samplePower(std::function<void(TimedPowerSample)> done) override {
        log.push_back("power@" + std::to_string(nowMs()));
        powerCalls.push_back(std::move(done));
    }

    // Answers the oldest energy call with a pass over the editor alone, or `pass`.
    void answerEnergy(ProcessEnergyReading reading) {
        answerEnergy(EnergyPass{{kEditor}, std::move(reading), {}});
    }
    void answerEnergy(EnergyPass pass) {
        ASSERT_FALSE(energyCalls.empty());
        auto call = std::move(energyCalls.front());
        energyCalls.pop_front();
        call.done(std::move(pass));
    }
    void answerPower(TimedPowerSample sample) {
        ASSERT_FALSE(powerCalls.empty());
        auto done = std::move(powerCalls.front());
        powerCalls.pop_front();
        done(std::move(sample));
    }

  private:
    long long nowMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(executor_.now()).count();
    }
    VirtualExecutor& executor_;
};

TimedPowerSample powerSample(std::uint64_t uptime, double watts) {
    TimedPowerSample sample;
    sample.uptimeNanoseconds = uptime;
    sample.snapshot.timestamp = wallClockFromSeconds(1'765'000'000.0);
    sample.snapshot.systemPower.watts = watts;
    sample.snapshot.systemPower.source = SystemPowerReading::Source::batteryDischarge;
    return sample;
}

// A pass over one application "/Editor" with one process whose counter reads `energy`.
ProcessEnergyReading reading(std::uint64_t uptime, std::uint64_t energy,
                             std::optional<double> watts) {
    ProcessEnergyReading result;
    result.counters[10] = ProcessEnergyCounter{10, "/Editor", 1, energy, uptime};
    result.knownProcessCounts["/Editor"] = 1;
    if (watts) result.powerSample = powerSample(uptime, *watts);
    return result;
}

class ApplicationPowerMonitorTest : public ::testing::Test {
  protected:
    ApplicationPowerMonitorTest() {
        monitor = ApplicationPowerMonitor::create(sampling, executor);
        subscription = monitor->observeSnapshot(
            [this](const ApplicationPowerSnapshot& snapshot) { published.push_back(snapshot); });
    }

    // Answers the three power samples of one interval at 0.5 s steps after `passUptime`.
    void answerPowerSamples(std::uint64_t passUptime, std::vector<double> watts) {
        for (std::size_t i = 0; i < watts.size(); ++i) {
            executor.advanceBy(500ms);
            sampling->answerPower(powerSample(passUptime + (i + 1) * kSecond / 2, watts[i]));
        }
        executor.advanceBy(500ms);
    }

    VirtualExecutor executor;
    std::shared_ptr<FakeSampling> sampling = std::make_shared<FakeSampling>(executor);
    std::shared_ptr<ApplicationPowerMonitor> monitor;
    std::vector<ApplicationPowerSnapshot> published;
    Subscription subscription;
};

TEST_F(ApplicationPowerMonitorTest, CadenceAndTheWindowOfFiveSamples) {
    CancellationSource task;
    monitor->run(task.token());
    ASSERT_EQ(published.size(), 1u);  // collecting at once
    EXPECT_EQ(published[0], ApplicationPowerSnapshot::collecting());
    ASSERT_EQ(sampling->energyCalls.size(), 1u);

    const std::uint64_t first = 100 * kSecond;
    sampling->answerEnergy(reading(first, 0, 10));
    ASSERT_EQ(published.size(), 2u);
    EXPECT_EQ(published[1].state.kind(), Case::collecting);
    EXPECT_EQ(published[1].balance.state.kind(), BalanceCase::collecting);  // one sample only

    executor.advanceBy(499ms);
    EXPECT_TRUE(sampling->powerCalls.empty());
    executor.advanceBy(1ms);
    sampling->answerPower(powerSample(first + kSecond / 2, 12));
    executor.advanceBy(500ms);
    sampling->answerPower(powerSample(first + kSecond, 12));
    executor.advanceBy(500ms);
    sampling->answerPower(powerSample(first + 3 * kSecond / 2, 10));
    executor.advanceBy(499ms);
    EXPECT_TRUE(sampling->energyCalls.empty());
    executor.advanceBy(1ms);
    // The energy pass follows 0.5 s after the third sample.
    EXPECT_EQ(sampling->log, (std::vector<std::string>{"energy@0", "power@500", "power@1000",
                                                       "power@1500", "energy@2000"}));

    // 1 J more over 2 s: 0.5 W; samples 10, 12, 12, 10, 10 W over 2 s average 11 W.
    sampling->answerEnergy(reading(first + 2 * kSecond, 1'000'000'000, 10));
    ASSERT_EQ(published.size(), 3u);
    const ApplicationPowerSnapshot& second = published[2];
    EXPECT_EQ(second.state.kind(), Case::available);
    EXPECT_EQ(second.entries.at(0).watts, 0.5);
    EXPECT_EQ(second.sampleWindowStart, first);
    EXPECT_EQ(second.sampleWindowEnd, first + 2 * kSecond);
    EXPECT_EQ(second.balance.state.kind(), BalanceCase::available);
    EXPECT_EQ(second.balance.totalWatts, 11.0);
    EXPECT_EQ(second.balance.applicationCPUWatts, 0.5);
    EXPECT_EQ(monitor->snapshot(), second);
}

TEST_F(ApplicationPowerMonitorTest, APassWithoutAPowerSampleAndTheTwoAfterIt) {
    CancellationSource task;
    monitor->run(task.token());
    std::uint64_t uptime = 100 * kSecond;
    sampling->answerEnergy(reading(uptime, 0, 10));
    answerPowerSamples(uptime, {10, 10, 10});

    uptime += 2 * kSecond;  // the power reading took too long: no sample for this pass
    sampling->answerEnergy(reading(uptime, 1'000'000'000, std::nullopt));
    EXPECT_EQ(published.back().state.kind(), Case::available);
    EXPECT_EQ(published.back().balance, PowerBalanceSnapshot::collecting());
    answerPowerSamples(uptime, {10, 10, 10});

    uptime += 2 * kSecond;  // no window start: the windows are not aligned
    sampling->answerEnergy(reading(uptime, 2'000'000'000, 10));
    EXPECT_EQ(published.back().balance.state,
              PowerBalanceSnapshot::State::unavailable(kWindowsNotAlignedMessage));
    EXPECT_EQ(published.back().balance.totalWatts, 10.0);
    answerPowerSamples(uptime, {10, 10, 10});

    uptime += 2 * kSecond;  // normal again
    sampling->answerEnergy(reading(uptime, 3'000'000'000, 10));
    EXPECT_EQ(published.back().balance.state.kind(), BalanceCase::available);
    EXPECT_EQ(published.back().balance.durationSeconds, 2.0);
}

TEST_F(ApplicationPowerMonitorTest, AFailedPassIsUnavailableAndTheNextStartsOver) {
    CancellationSource task;
    monitor->run(task.token());
    sampling->answerEnergy(reading(100 * kSecond, 0, 10));
    answerPowerSamples(100 * kSecond, {10, 10, 10});
    ProcessEnergyReading failed;
    failed.errorMessage = kNoEnergyDataMessage;
    failed.powerSample = powerSample(102 * kSecond, 10);
    sampling->answerEnergy(failed);
    EXPECT_EQ(published.back().state,
              ApplicationPowerSnapshot::State::unavailable(kNoEnergyDataMessage));
    answerPowerSamples(102 * kSecond, {10, 10, 10});
    sampling->answerEnergy(reading(104 * kSecond, 5, 10));
    EXPECT_EQ(published.back().state.kind(), Case::collecting);  // the baseline was emptied
}

// Cancels the run at step `cancelAt` of the first two passes and checks that nothing more is
// asked of the reader and nothing more is published, even when a call in flight answers later.
TEST_F(ApplicationPowerMonitorTest, CancellationInEveryWaitAndDuringEveryReaderCall) {
    // Steps: 0 during the energy call; 1, 3, 5 in the waits before each power sample; 2, 4, 6
    // during each power call; 7 in the last wait; 8 during the second energy call.
    for (int cancelAt = 0; cancelAt <= 8; ++cancelAt) {
        SCOPED_TRACE(cancelAt);
        published.clear();
        sampling->energyCalls.clear();
        sampling->powerCalls.clear();
        CancellationSource task;
        monitor->run(task.token());
        int step = 0;
        bool stopped = false;
        auto cancelHere = [&] {
            if (step++ != cancelAt) return false;
            task.cancel();
            stopped = true;
            return true;
        };
        const std::uint64_t uptime = 100 * kSecond;
        if (!cancelHere()) {
            sampling->answerEnergy(reading(uptime, 0, 10));
            for (int i = 0; i < 3 && !stopped; ++i) {
                executor.advanceBy(250ms);
                if (cancelHere()) break;
                executor.advanceBy(250ms);
                if (cancelHere()) break;
                sampling->answerPower(powerSample(uptime + (i + 1) * kSecond / 2, 10));
            }
            if (!stopped) {
                executor.advanceBy(250ms);
                if (!cancelHere()) {
                    executor.advanceBy(250ms);
                    cancelHere();  // step 8: the second energy call is in flight
                }
            }
        }
        ASSERT_TRUE(stopped);
        const std::size_t publishedAtCancel = published.size();
        const std::size_t callsAtCancel = sampling->log.size();
        // Whatever was in flight answers now; time goes on.
        if (!sampling->energyCalls.empty())
            sampling->answerEnergy(reading(uptime + 2 * kSecond, 9, 10));
        if (!sampling->powerCalls.empty()) sampling->answerPower(powerSample(uptime, 10));
        executor.advanceBy(10s);
        EXPECT_EQ(published.size(), publishedAtCancel);
        EXPECT_EQ(sampling->log.size(), callsAtCancel);
        EXPECT_EQ(executor.pendingCount(), 0u);
    }
}

TEST_F(ApplicationPowerMonitorTest, RestartingShowsCollectingAndForgetsTheBaseline) {
    CancellationSource first;
    monitor->run(first.token());
    sampling->answerEnergy(reading(100 * kSecond, 0, 10));
    first.cancel();
    executor.advanceBy(1s);
    EXPECT_EQ(monitor->snapshot().state.kind(), Case::collecting);  // kept until the next start
    const std::size_t before = published.size();

    CancellationSource second;
    monitor->run(second.token());
    EXPECT_EQ(published.size(), before + 1);
    EXPECT_EQ(published.back(), ApplicationPowerSnapshot::collecting());
    sampling->answerEnergy(reading(102 * kSecond, 1'000'000'000, 10));
    EXPECT_EQ(published.back().state.kind(), Case::collecting);  // no baseline from the old run
    second.cancel();

    CancellationSource cancelled;
    cancelled.cancel();
    monitor->run(cancelled.token());
    EXPECT_EQ(published.back(), ApplicationPowerSnapshot::collecting());
    EXPECT_TRUE(sampling->energyCalls.empty());
}

// The reader fetches the icons of applications the cache lacks; the monitor keeps them while
// their applications run and never replaces one.
TEST_F(ApplicationPowerMonitorTest, IconsAreKeptWhileTheirApplicationsRunAndDroppedAfter) {
    const RunningApplicationIdentity viewer{"/Viewer", "Viewer", {20}};
    auto icon = [](const std::string& name) { return std::make_shared<NamedIcon>(name); };
    CancellationSource task;
    monitor->run(task.token());
    EXPECT_TRUE(sampling->energyCalls.front().cachedIconIds.empty());
    sampling->answerEnergy(EnergyPass{{kEditor, viewer},
                                      reading(100 * kSecond, 0, 10),
                                      {{"/Editor", icon("editor")}, {"/Viewer", icon("viewer")}}});
    ASSERT_EQ(monitor->icons().size(), 2u);
    EXPECT_EQ(iconName(monitor->icons().at("/Editor")), "editor");
    answerPowerSamples(100 * kSecond, {10, 10, 10});

    ASSERT_EQ(sampling->energyCalls.size(), 1u);
    EXPECT_EQ(sampling->energyCalls.front().cachedIconIds,
              (std::set<std::string>{"/Editor", "/Viewer"}));
    // The editor quits; an icon handed over again for the viewer does not replace its own.
    sampling->answerEnergy(
        EnergyPass{{viewer}, reading(102 * kSecond, 1, 10), {{"/Viewer", icon("other")}}});
    EXPECT_EQ(monitor->icons().count("/Editor"), 0u);
    EXPECT_EQ(iconName(monitor->icons().at("/Viewer")), "viewer");
    answerPowerSamples(102 * kSecond, {10, 10, 10});
    EXPECT_EQ(sampling->energyCalls.front().cachedIconIds, (std::set<std::string>{"/Viewer"}));
}

TEST_F(ApplicationPowerMonitorTest, DestroyingTheMonitorEndsItsLoop) {
    CancellationSource task;
    monitor->run(task.token());
    auto pending = std::move(sampling->energyCalls.front());
    sampling->energyCalls.clear();
    subscription = {};
    monitor.reset();
    pending.done(EnergyPass{{kEditor}, reading(100 * kSecond, 0, 10), {}});  // into nothing
    executor.advanceBy(10s);
    EXPECT_TRUE(sampling->powerCalls.empty());
    EXPECT_EQ(executor.pendingCount(), 0u);
}

}  // namespace
}  // namespace pylonix
