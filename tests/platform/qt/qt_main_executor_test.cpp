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

// Real time on the real event loop, kept to a few tens of milliseconds.
TEST(QtMainExecutorTest, RunsWorkOnTheEventLoopAndCancellationCutsASleepShort) {
    int argc = 1;
    char name[] = "qt_main_executor_test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QtMainExecutor executor;
    std::vector<std::string> log;
    const auto start = executor.now();
    std::chrono::nanoseconds delayedRanAt{};
    std::chrono::nanoseconds sleepEndedAt{};

    executor.postAfter(40ms, [&] {
        log.push_back("delayed");
        delayedRanAt = executor.now() - start;
    });
    TimerHandle withdrawn = executor.postAfter(20ms, [&] { log.push_back("withdrawn"); });
    withdrawn.cancel();
    executor.post([&] { log.push_back("posted"); });
    std::thread([&] { executor.post([&] { log.push_back("from another thread"); }); }).join();

    CancellationSource source;
    const CancellationToken token = source.token();
    sleepFor(executor, 10s, token, [&, token] {
        log.push_back(token.isCancelled() ? "woken by cancellation" : "slept");
        sleepEndedAt = executor.now() - start;
    });
    executor.postAfter(10ms, [&] { source.cancel(); });

    executor.postAfter(60ms, [] { QCoreApplication::exit(0); });
    QTimer::singleShot(2000, [] { QCoreApplication::exit(1); });  // never hang the suite
    ASSERT_EQ(QCoreApplication::exec(), 0);

    EXPECT_THAT(log,
                ElementsAre("posted", "from another thread", "woken by cancellation", "delayed"));
    EXPECT_GE(delayedRanAt, 40ms);  // never early
    EXPECT_GE(sleepEndedAt, 10ms);
    EXPECT_LT(sleepEndedAt, 40ms);  // ended by the cancellation, before the 40 ms work
}

}  // namespace
}  // namespace pylonix::qt_platform
