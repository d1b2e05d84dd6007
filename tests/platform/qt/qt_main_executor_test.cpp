#include "platform/qt/qt_main_executor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <string>
#include <thread>
#include <vector>

#include "common/cancellable_sleep.h"

namespace pylonix::qt_platform {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

// Real time on the real event loop, a few tens of milliseconds. Only orderings that the event
// loop guarantees are checked; a busy machine may run the timers late, never early.
TEST(QtMainExecutorTest, RunsWorkOnTheEventLoopAndCancellationCutsASleepShort) {
    int argc = 1;
    char name[] = "qt_main_executor_test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QtMainExecutor executor;
    std::vector<std::string> log;
    const auto start = executor.now();
    std::chrono::nanoseconds delayedRanAt{};
    int unfinished = 2;
    const auto finishOne = [&unfinished] {
        if (--unfinished == 0) QCoreApplication::exit(0);
    };

    executor.postAfter(30ms, [&] {
        log.push_back("delayed");
        delayedRanAt = executor.now() - start;
        finishOne();
    });
    TimerHandle withdrawn = executor.postAfter(20ms, [&] { log.push_back("withdrawn"); });
    withdrawn.cancel();
    executor.post([&] { log.push_back("posted"); });
    std::thread([&] { executor.post([&] { log.push_back("from another thread"); }); }).join();

    CancellationSource source;
    const CancellationToken token = source.token();
    sleepFor(executor, 10s, token, [&, token] {
        log.push_back(token.isCancelled() ? "woken by cancellation" : "slept");
        finishOne();
    });
    executor.post([&] { source.cancel(); });

    // The ten-second sleep must have been cut short long before this.
    QTimer::singleShot(2000, [] { QCoreApplication::exit(1); });
    ASSERT_EQ(QCoreApplication::exec(), 0);

    ASSERT_EQ(log.size(), 4U);
    EXPECT_THAT(std::vector(log.begin(), log.begin() + 2),
                ElementsAre("posted", "from another thread"));
    EXPECT_THAT(std::vector(log.begin() + 2, log.end()),
                UnorderedElementsAre("woken by cancellation", "delayed"));
    EXPECT_GE(delayedRanAt, 30ms);  // never early
}

}  // namespace
}  // namespace pylonix::qt_platform
