#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cancellable_sleep.h"
#include "common/cancellation_token.h"
#include "platform/testing/virtual_executor.h"

namespace pylonix {
namespace {

using namespace std::chrono_literals;
using pylonix::test_doubles::VirtualExecutor;
using ::testing::ElementsAre;

TEST(CancellationTokenTest, ListenersRunOnceInOrderUnlessWithdrawn) {
    CancellationSource source;
    const CancellationToken token = source.token();
    std::vector<std::string> calls;
    const Subscription first = token.onCancel([&] { calls.push_back("first"); });
    Subscription withdrawn = token.onCancel([&] { calls.push_back("withdrawn"); });
    Subscription second;
    // A listener may withdraw another one while the cancellation runs.
    const Subscription third = token.onCancel([&] {
        calls.push_back("third");
        second.reset();
    });
    second = token.onCancel([&] { calls.push_back("second"); });
    withdrawn.reset();

    EXPECT_FALSE(token.isCancelled());
    source.cancel();
    source.cancel();
    EXPECT_TRUE(token.isCancelled());
    EXPECT_TRUE(source.isCancelled());
    EXPECT_THAT(calls, ElementsAre("first", "third"));

    // Listening to an already cancelled token hears it at once.
    const Subscription late = token.onCancel([&] { calls.push_back("late"); });
    EXPECT_THAT(calls, ElementsAre("first", "third", "late"));
    EXPECT_FALSE(CancellationToken().isCancelled());
}

class CancellableSleepTest : public ::testing::Test {
  protected:
    // Records the virtual time at which the continuation ran and what the token said then.
    void sleep(std::chrono::nanoseconds duration, const CancellationToken& token) {
        sleepFor(executor, duration, token,
                 [this, token] { wakes.emplace_back(executor.now(), token.isCancelled()); });
    }

    VirtualExecutor executor;
    std::vector<std::pair<std::chrono::nanoseconds, bool>> wakes;
};

TEST_F(CancellableSleepTest, WakesAfterTheFullDuration) {
    sleep(5s, CancellationToken());
    executor.advanceBy(5s - 1ns);
    EXPECT_TRUE(wakes.empty());
    executor.advanceBy(10s);
    EXPECT_THAT(wakes, ElementsAre(std::pair(5s, false)));
}

TEST_F(CancellableSleepTest, CancellationEndsTheSleepAtOnceAndWakesOnlyOnce) {
    CancellationSource source;
    sleep(5s, source.token());
    executor.advanceBy(2s);
    source.cancel();
    EXPECT_TRUE(wakes.empty());  // the continuation is posted, not run inside cancel()
    executor.runUntilIdle();
    EXPECT_THAT(wakes, ElementsAre(std::pair(2s, true)));
    EXPECT_EQ(executor.pendingCount(), 0U);  // the timer was withdrawn
    executor.advanceBy(10s);
    EXPECT_EQ(wakes.size(), 1U);
}

TEST_F(CancellableSleepTest, AnAlreadyCancelledTokenDoesNotWait) {
    CancellationSource source;
    source.cancel();
    sleep(5s, source.token());
    executor.runUntilIdle();
    EXPECT_THAT(wakes, ElementsAre(std::pair(0s, true)));
}

TEST_F(CancellableSleepTest, CancellingAfterTheWakeChangesNothing) {
    CancellationSource source;
    sleep(1s, source.token());
    executor.advanceBy(1s);
    source.cancel();
    executor.advanceBy(1s);
    EXPECT_THAT(wakes, ElementsAre(std::pair(1s, false)));
}

}  // namespace
}  // namespace pylonix
