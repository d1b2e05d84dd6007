#include "power/refresh_interval.h"

#include <gtest/gtest.h>

#include <limits>
#include <unordered_set>

namespace pylonix {
namespace {

TEST(RefreshIntervalTest, CasesInOrderWithRawValuesAndSleepLengths) {
    const auto all = RefreshInterval::allCases();
    const double raw[] = {0.5, 1.0, 2.0, 5.0};
    const long long nanos[] = {500000000, 1000000000, 2000000000, 5000000000};
    ASSERT_EQ(all.size(), 4U);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].rawValue(), raw[i]);
        EXPECT_EQ(all[i].nanoseconds().count(), nanos[i]);
        EXPECT_EQ(RefreshInterval::fromRawValue(raw[i]), all[i]);
    }
    EXPECT_EQ(all[0], RefreshInterval::halfSecond);
    EXPECT_EQ(all[3], RefreshInterval::fiveSeconds);
    EXPECT_EQ(RefreshInterval(), RefreshInterval::oneSecond);
}

TEST(RefreshIntervalTest, OnlyTheExactRawValuesMakeACase) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (const double seconds :
         {0.0, -0.5, 0.75, 0.5000000001, 1.5, 10.0, 500.0, kNaN, kInfinity}) {
        EXPECT_FALSE(RefreshInterval::fromRawValue(seconds).has_value()) << seconds;
    }
}

TEST(RefreshIntervalTest, EqualCasesHashAlike) {
    const auto all = RefreshInterval::allCases();
    const std::unordered_set<RefreshInterval> set(all.begin(), all.end());
    EXPECT_EQ(set.size(), 4U);
    EXPECT_EQ(set.count(*RefreshInterval::fromRawValue(2.0)), 1U);
}

}  // namespace
}  // namespace pylonix
