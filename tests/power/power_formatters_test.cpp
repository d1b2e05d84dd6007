#include "power/power_formatters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pylonix {
namespace {

TEST(FormatWattsTest, RoundsToOneDecimalBelowHundredAndWholeAbove) {
    EXPECT_EQ(formatWatts(12.345), "12.3");
    EXPECT_EQ(formatWatts(99.9), "99.9");
    EXPECT_EQ(formatWatts(99.96), "100.0");  // chosen on the magnitude before rounding
    EXPECT_EQ(formatWatts(100), "100");
    EXPECT_EQ(formatWatts(150.4), "150");
}

TEST(FormatWattsTest, NearZeroHasNoSignAndNegativesUseTheMinusSign) {
    EXPECT_EQ(formatWatts(0.04), "0.0");
    EXPECT_EQ(formatWatts(-0.04), "0.0");
    EXPECT_EQ(formatWatts(-0.0), "0.0");
    EXPECT_EQ(formatWatts(-3.21), "\u22123.2");
    EXPECT_EQ(formatWatts(-250), "\u2212250");
}

TEST(FormatAmpsTest, SignedWithTwoDecimalsAndUnit) {
    EXPECT_EQ(formatAmps(1.234), "+1.23 A");
    EXPECT_EQ(formatAmps(-0.5), "\u22120.50 A");
    EXPECT_EQ(formatAmps(0), "0.00 A");
    EXPECT_EQ(formatAmps(0.004), "0.00 A");
    EXPECT_EQ(formatAmps(-0.004), "0.00 A");
}

TEST(FormatPercentTest, RoundsHalfAwayFromZero) {
    EXPECT_EQ(formatPercent(0.856), "86%");
    EXPECT_EQ(formatPercent(0.125), "13%");  // 12.5 rounds up, not to even
    EXPECT_EQ(formatPercent(0), "0%");
    EXPECT_EQ(formatPercent(1), "100%");
    EXPECT_EQ(formatPercent(-0.001), "0%");  // no "-0%"
}

TEST(FormattersTest, NonFiniteNumbersShowTheMissingValueDash) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatWatts(nan), "—");
    EXPECT_EQ(formatWatts(-inf), "—");
    EXPECT_EQ(formatAmps(inf), "—");
    EXPECT_EQ(formatPercent(nan), "—");
    EXPECT_EQ(formatPercent(1e308), "—");  // overflows to infinity when scaled
}

TEST(FormatWattsTest, HugeFiniteMagnitudesPrintInFull) {
    EXPECT_EQ(formatWatts(1e20), "100000000000000000000");
    EXPECT_EQ(formatWatts(-1.7976931348623157e308).substr(0, 6), "\u2212179");
}

TEST(FormatRemainingTimeTest, MinutesHoursAndBoth) {
    EXPECT_EQ(formatRemainingTime(45), "约 45 分钟");
    EXPECT_EQ(formatRemainingTime(59), "约 59 分钟");
    EXPECT_EQ(formatRemainingTime(60), "约 1 小时");
    EXPECT_EQ(formatRemainingTime(61), "约 1 小时 1 分钟");
    EXPECT_EQ(formatRemainingTime(120), "约 2 小时");
    EXPECT_EQ(formatRemainingTime(135), "约 2 小时 15 分钟");
}

TEST(FormatRemainingTimeTest, NegativeAndExtremeCountsDoNotOverflow) {
    EXPECT_EQ(formatRemainingTime(-59), "约 -59 分钟");
    EXPECT_EQ(formatRemainingTime(-61), "约 -1 小时 -1 分钟");
    EXPECT_EQ(formatRemainingTime(std::numeric_limits<std::int64_t>::min()),
              "约 -153722867280912930 小时 -8 分钟");
    EXPECT_EQ(formatRemainingTime(std::numeric_limits<std::int64_t>::max()),
              "约 153722867280912930 小时 7 分钟");
}

}  // namespace
}  // namespace pylonix
