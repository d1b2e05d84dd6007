#include "apppower/application_power_sampling.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "apppower/application_power_monitor.h"
#include "common/thread_serial_executor.h"
#include "fake_process_table.h"
#include "platform/testing/virtual_executor.h"

namespace pylonix {
namespace {

using namespace std::chrono_literals;
using test_doubles::VirtualExecutor;
using testing_support::FakeProcessTable;

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

// One process of one application whose energy grows by 1 J per pass; its clock moves 2 s a
// pass, so every pass pairs with the one before it.
std::shared_ptr<FakeProcessTable> busyTable() {
    auto table = std::make_shared<FakeProcessTable>();
    table->processes[10] = {1, kProcBsdInfoSize, "/Editor.app/Contents/MacOS/Editor",
                            RusageInfoV6{3, 1'000'000'000}};
    return table;
}

const RunningApplicationIdentity kEditor{"/Editor.app", "Editor", {10}};

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
    ApplicationPowerReaderActor actor(std::make_shared<ApplicationPowerReader>(busyTable(), power),
                                      serial, executor);
    std::vector<std::string> answers;
    actor.sampleEnergy({kEditor}, [&answers](ProcessEnergyReading reading) {
        answers.push_back("energy:" + std::to_string(reading.counters.size()));
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
    ApplicationPowerReaderActor actor(std::make_shared<ApplicationPowerReader>(busyTable(), power),
                                      std::make_shared<ThreadSerialExecutor>(), main);
    std::vector<std::thread::id> answeredOn;
    for (int i = 0; i < 20; ++i) {
        actor.sampleEnergy({kEditor}, [&answeredOn](ProcessEnergyReading) {
            answeredOn.push_back(std::this_thread::get_id());
        });
        actor.samplePower(
            [&answeredOn](TimedPowerSample) { answeredOn.push_back(std::this_thread::get_id()); });
    }
    drive(main, [&answeredOn] { return answeredOn.size() == 40; });
    ASSERT_EQ(answeredOn.size(), 40u);
    for (const auto id : answeredOn) EXPECT_EQ(id, std::this_thread::get_id());
    for (const auto id : power->threads()) EXPECT_NE(id, std::this_thread::get_id());
}

class NoApplications final : public RunningApplicationSource {
public:
    std::vector<PlatformRunningApplication> runningApplications() override {
        PlatformRunningApplication editor;
        editor.bundlePath = "/Editor.app";
        editor.localizedName = "Editor";
        editor.processIdentifier = 10;
        return {editor};
    }
    std::shared_ptr<const ApplicationIcon> applicationIcon(
        const PlatformRunningApplication&) override {
        return nullptr;
    }
    std::shared_ptr<const ApplicationIcon> fileIcon(const std::string&) override {
        return std::make_shared<ApplicationIcon>();
    }
    std::optional<std::string> applicationId(std::string_view path) const override {
        return std::string(path);
    }
};

TEST(ApplicationPowerReaderActorTest, TheSamplingLoopOverTheWorkerThread) {
    VirtualExecutor main;
    const auto table = busyTable();
    // Each listing is one pass: the clock moves 2 s and the energy 1 J.
    struct AdvancingTable final : ProcessTable {
        std::shared_ptr<FakeProcessTable> inner;
        std::uint32_t getuid() const override { return inner->getuid(); }
        std::int32_t getpid() const override { return inner->getpid(); }
        int listPidsByUser(std::uint32_t uid, std::int32_t* buffer, int bytes) const override {
            if (buffer == nullptr) {
                inner->uptime += 2'000'000'000;
                inner->processes[10].usage->ri_energy_nj += 1'000'000'000;
            }
            return inner->listPidsByUser(uid, buffer, bytes);
        }
        int pidBsdInfo(std::int32_t pid, ProcBsdInfo& info) const override {
            return inner->pidBsdInfo(pid, info);
        }
        int pidPath(std::int32_t pid, char* buffer, std::uint32_t size) const override {
            return inner->pidPath(pid, buffer, size);
        }
        int pidRusage(std::int32_t pid, RusageInfoV6& info) const override {
            return inner->pidRusage(pid, info);
        }
        std::uint64_t uptimeNanoseconds() const override { return inner->uptimeNanoseconds(); }
    };
    auto advancing = std::make_shared<AdvancingTable>();
    advancing->inner = table;
    auto actor = std::make_shared<ApplicationPowerReaderActor>(
        std::make_shared<ApplicationPowerReader>(advancing,
                                                 std::make_shared<ThreadNotingPowerReader>()),
        std::make_shared<ThreadSerialExecutor>(), main);
    NoApplications applications;
    const auto monitor = ApplicationPowerMonitor::create(actor, applications, main);
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
