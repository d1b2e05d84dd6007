#include "common/serial_executor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

#include "common/thread_serial_executor.h"
#include "platform/testing/virtual_executor.h"

namespace pylonix {
namespace {

using pylonix::test_doubles::VirtualExecutor;
using ::testing::ElementsAre;

TEST(SerialExecutorTest, WorkRunsInOrderOffTheMainThreadAndItsResultComesBack) {
    VirtualExecutor main;
    std::vector<int> results;
    std::thread::id workerThread;
    {
        ThreadSerialExecutor serial;
        for (int i = 0; i < 3; ++i) {
            runSerially(
                serial, main,
                [i, &workerThread] {
                    workerThread = std::this_thread::get_id();
                    return i * 10;
                },
                [&results](int result) { results.push_back(result); });
        }
        // Jobs run one at a time in order, so when this one runs the others have posted.
        std::promise<void> drained;
        serial.submit([&drained] { drained.set_value(); });
        drained.get_future().wait();
    }
    EXPECT_NE(workerThread, std::this_thread::get_id());
    EXPECT_TRUE(results.empty());  // handed back to the main thread, not run on the worker
    main.runUntilIdle();
    EXPECT_THAT(results, ElementsAre(0, 10, 20));
}

TEST(SerialExecutorTest, TheVirtualExecutorRunsSerialWorkAsMainThreadWork) {
    VirtualExecutor executor;
    std::vector<std::string> results;
    runSerially(
        executor, executor, [] { return std::string("reading"); },
        [&results](std::string result) { results.push_back(std::move(result)); });
    executor.runUntilIdle();
    EXPECT_THAT(results, ElementsAre("reading"));
}

}  // namespace
}  // namespace pylonix
