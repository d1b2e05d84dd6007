#include "platform/linux/processes/proc_stat.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

TEST(ProcessStatTest, FieldsAreCountedFromTheLastParenthesis) {
    // A command name with spaces and parentheses of its own, as a web content process has.
    const auto stat = parseProcessStat(
        "1300 (Web Content) (x) S 900 1300 1 0 -1 4194304 100 0 0 0 300 100 7 7 20 0 1 0 3000 "
        "1000000 100 18446744073709551615 1 1 0 0\n");
    ASSERT_TRUE(stat);
    EXPECT_EQ(*stat, (ProcessStat{1300, "Web Content) (x", 900, 400, 3000}));

    const auto kernelThread =
        parseProcessStat("2 (kthreadd) S 0 0 0 0 -1 2129984 0 0 0 0 0 1 0 0 20 0 1 0 5 0 0");
    ASSERT_TRUE(kernelThread);
    EXPECT_EQ(kernelThread->parentPID, 0);
    EXPECT_EQ(kernelThread->cpuTicks, 1u);
    EXPECT_EQ(kernelThread->startTime, 5u);

    // A name that is only ")" characters and spaces.
    const auto odd = parseProcessStat("7 () ) )) R 1 7 7 0 -1 0 0 0 0 0 2 3 0 0 20 0 1 0 99 0 0");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->cpuTicks, 5u);
    EXPECT_EQ(odd->startTime, 99u);
}

TEST(ProcessStatTest, CutShortOrGarbledLinesAreRejected) {
    EXPECT_FALSE(parseProcessStat(""));
    EXPECT_FALSE(parseProcessStat("2000 (broken"));
    EXPECT_FALSE(parseProcessStat("12 (a) S 1 12 12 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0"));  // no start
    EXPECT_FALSE(parseProcessStat("x (a) S 1 1 1 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 5"));
    EXPECT_FALSE(parseProcessStat("0 (a) S 1 1 1 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 5"));
    EXPECT_FALSE(parseProcessStat("5 (a) S -1 1 1 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 5"));
    EXPECT_FALSE(parseProcessStat("5 (a) S 1 1 1 0 -1 0 0 0 0 0 1x 1 0 0 20 0 1 0 5"));
    EXPECT_FALSE(parseProcessStat(
        "5 (a) S 1 1 1 0 -1 0 0 0 0 0 18446744073709551615 1 0 0 20 0 1 0 5"));  // sum overflows
    EXPECT_FALSE(parseProcessStat("5 a) S 1 1 1 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 5"));
}

TEST(TotalCpuTicksTest, AllStatesIdleIncludedGuestNotTwice) {
    EXPECT_EQ(parseTotalCpuTicks("cpu  1000 10 500 8000 100 0 20 5 300 7\ncpu0 1 2 3 4\n"),
              1000u + 10 + 500 + 8000 + 100 + 0 + 20 + 5);
    EXPECT_EQ(parseTotalCpuTicks("cpu 1 2 3 4\n"), 10u);
    EXPECT_FALSE(parseTotalCpuTicks("cpu0 1 2 3 4 5 6 7 8\n"));
    EXPECT_FALSE(parseTotalCpuTicks("cpu 1 2 3\n"));
    EXPECT_FALSE(parseTotalCpuTicks("cpu 1 2 x 4\n"));
    EXPECT_FALSE(parseTotalCpuTicks("intr 5\ncpu 1 2 3 4\n"));
    EXPECT_FALSE(parseTotalCpuTicks("cpu 18446744073709551615 1 0 0\n"));
}

}  // namespace
}  // namespace pylonix::linux_platform
