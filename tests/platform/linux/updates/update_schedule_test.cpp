#include "platform/linux/updates/update_schedule.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

using std::chrono::hours;
using std::chrono::milliseconds;

TEST(UpdateScheduleTest, ChecksOnceADayWhileAutomaticChecksAreOn) {
    const WallClockTime now = wallClockFromSeconds(1765000000);
    EXPECT_EQ(nextScheduledCheckDelay(false, std::nullopt, now), std::nullopt);
    EXPECT_EQ(nextScheduledCheckDelay(false, now - hours(48), now), std::nullopt);
    EXPECT_EQ(nextScheduledCheckDelay(true, std::nullopt, now), milliseconds(0));
    EXPECT_EQ(nextScheduledCheckDelay(true, now - hours(1), now), milliseconds(hours(23)));
    EXPECT_EQ(nextScheduledCheckDelay(true, now - hours(24), now), milliseconds(0));
    EXPECT_EQ(nextScheduledCheckDelay(true, now - hours(24 * 400), now), milliseconds(0));
    EXPECT_EQ(nextScheduledCheckDelay(true, now, now), milliseconds(hours(24)));
    // The clock was set back after the last check.
    EXPECT_EQ(nextScheduledCheckDelay(true, now + hours(72), now), milliseconds(hours(24)));
}

}  // namespace
}  // namespace pylonix::linux_platform
