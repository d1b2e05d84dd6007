#include "apppower/application_power_sampling.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "apppower/application_power_monitor.h"
#include "common/thread_serial_executor.h"
#include "platform/testing/virtual_executor.h"
#include "recorded_process_source.h"

namespace pylonix {
namespace {

using namespace std::chrono_literals;
using test_doubles::VirtualExecutor;
using testing_support::ListedApplications;
using testing_support::record;

// Whole-machine readings at 10 W that note the thread they were taken on.
class ThreadNotingPowerReader final : public PowerReading {
  public:
    PowerSnapshot read() const override {
        {
            const std::lock_guard lock(mutex_);
            threads_.push_back(std::this_thread::get_id());
        }
        PowerSnapshot snapshot;
        snapshot.systemPower.watts = 10;
        snapshot.systemPower.source = SystemPowerReading::Source::batteryDischarge;
        return snapshot;
    }
    std::vector<std::thread::id> threads() const {
        const std::lock_guard lock(mutex_);
        return threads_;
    }

  private:
    mutable std::mutex mutex_;
    mutable std::vector<std::thread::id> threads_;
};

// One process of one application whose energy grows by 1 J per pass, and whose clock moves 2 s
// a pass, so every pass pairs with the one before it.
class BusySource final : public ProcessSource {
  public:
    Pass readPass() override {
        uptime_ += 2'000'000'000;
        energy_ += 1'000'000'000;
        ProcessPass pass;
        pass.processes = {record(10, 1, "/Editor.app/Contents/MacOS/Editor", 3, energy_)};
        pass.ownEnergyNanojoules = 1;
        return pass;
    }
    std::uint64_t uptimeNanoseconds() const override { return uptime_; }

  private:
    std::uint64_t uptime_ = 5'000'000'000;
    std::uint64_t energy_ = 1'000'000'000;
};

std::shared_ptr<ApplicationPowerReader> busyReader(std::shared_ptr<const PowerReading> power) {
    auto applications = std::make_shared<ListedApplications>();
    applications->add("/Editor.app", 10);
    return std::make_shared<ApplicationPowerReader>(std::make_shared<BusySource>(),
                                                    std::move(applications), std::move(power));
}

// Keeps the main thread's side going until `done` holds: runs what is due, and when nothing
// is, moves to the next timer, or gives the worker thread a moment.
template <typename Done>
void drive(VirtualExecutor& main, Done done) {
    for (int round = 0; round < 100000 && !done(); ++round) {
        if (main.runUntilIdle() > 0) continue;
        if (const auto next = main.nextDueTime()) {
            main.advanceTo(*next);
        } else {
            std::this_thread::sleep_for(100us);
        }
    }
}

TEST(ApplicationPowerReaderActorTest, OperationsRunInOrderAndAnswerOnTheMainExecutor) {
    VirtualExecutor executor;
    auto serial = std::shared_ptr<SerialExecutor>(&executor, [](SerialExecutor*) {});
    auto power = std::make_shared<ThreadNotingPowerReader>();
    ApplicationPowerReaderActor actor(busyReader(power), serial, executor);
    std::vector<std::string> answers;
    actor.sampleEnergy({}, [&answers](EnergyPass pass) {
        answers.push_back("energy:" + std::to_string(pass.reading.counters.size()));
    });
    actor.samplePower([&answers](TimedPowerSample) { answers.push_back("power"); });
    EXPECT_TRUE(answers.empty());  // nothing runs in the caller's call
    executor.runUntilIdle();
    EXPECT_EQ(answers, (std::vector<std::string>{"energy:1", "power"}));
}

// The thread-sanitizer build runs these two over a real worker thread.
TEST(ApplicationPowerReaderActorTest, AWorkerThreadDoesTheReadingAndTheMainThreadGetsResults) {
    VirtualExecutor main;
    auto power = std::make_shared<ThreadNotingPowerReader>();
    ApplicationPowerReaderActor actor(busyReader(power), std::make_shared<ThreadSerialExecutor>(),
                                      main);
    std::vector<std::thread::id> answeredOn;
    for (int i = 0; i < 20; ++i) {
        actor.sampleEnergy(
            {}, [&answeredOn](EnergyPass) { answeredOn.push_back(std::this_thread::get_id()); });
        actor.samplePower(
            [&answeredOn](TimedPowerSample) { answeredOn.push_back(std::this_thread::get_id()); });
    }
    drive(main, [&answeredOn] { return answeredOn.size() == 40; });
    ASSERT_EQ(answeredOn.size(), 40u);
    for (const auto id : answeredOn) EXPECT_EQ(id, std::this_thread::get_id());
    for (const auto id : power->threads()) EXPECT_NE(id, std::this_thread::get_id());
}

TEST(ApplicationPowerReaderActorTest, TheSamplingLoopOverTheWorkerThread) {
    VirtualExecutor main;
    auto actor = std::make_shared<ApplicationPowerReaderActor>(
        busyReader(std::make_shared<ThreadNotingPowerReader>()),
        std::make_shared<ThreadSerialExecutor>(), main);
    const auto monitor = ApplicationPowerMonitor::create(actor, main);
    std::vector<ApplicationPowerSnapshot> published;
    const Subscription subscription = monitor->observeSnapshot(
        [&published](const ApplicationPowerSnapshot& snapshot) { published.push_back(snapshot); });
    CancellationSource task;
    monitor->run(task.token());
    drive(main, [&published] { return published.size() >= 4; });
    task.cancel();
    ASSERT_GE(published.size(), 4u);
    EXPECT_EQ(published[3].state, ApplicationPowerSnapshot::State::available());
    ASSERT_EQ(published[3].entries.size(), 1u);
    EXPECT_EQ(published[3].entries[0].watts, 0.5);
}

}  // namespace
}  // namespace pylonix
