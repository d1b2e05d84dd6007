#include "platform/testing/virtual_executor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pylonix {
namespace {

using namespace std::chrono_literals;
using pylonix::test_doubles::VirtualExecutor;
using ::testing::ElementsAre;

TEST(VirtualExecutorTest, RunsWorkByDueTimeThenPostingOrderWithTheClockAtItsTime) {
    VirtualExecutor executor;
    std::vector<std::string> log;
    const auto record = [&](std::string name) {
        return [&log, &executor, name] {
            log.push_back(name + "@" + std::to_string(executor.now().count() / 1000000));
        };
    };
    executor.postAfter(2s, record("b"));
    executor.postAfter(1s, record("a1"));
    executor.postAfter(1s, record("a2"));
    executor.post(record("now"));
    TimerHandle withdrawn = executor.postAfter(1500ms, record("withdrawn"));
    withdrawn.cancel();
    // Work posted for "now" from inside a job at 1 s runs at 1 s, before the 2 s job.
    executor.postAfter(1s, [&] { executor.post(record("chained")); });
    executor.postAfter(3s, record("later"));

    EXPECT_EQ(executor.advanceBy(2s), 6U);
    EXPECT_THAT(log, ElementsAre("now@0", "a1@1000", "a2@1000", "chained@1000", "b@2000"));
    EXPECT_EQ(executor.now(), 2s);
    EXPECT_EQ(executor.nextDueTime(), 3s);
    EXPECT_EQ(executor.pendingCount(), 1U);
    withdrawn.cancel();  // harmless after the fact
}

}  // namespace
}  // namespace pylonix
