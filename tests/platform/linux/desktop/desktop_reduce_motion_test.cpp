#include "platform/linux/desktop/desktop_reduce_motion.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

TEST(DesktopReduceMotionTest, GnomeAnimationSwitch) {
    EXPECT_EQ(reduceMotionFromGnomeSetting("false\n"), true);
    EXPECT_EQ(reduceMotionFromGnomeSetting("true\n"), false);
    EXPECT_EQ(reduceMotionFromGnomeSetting("  true "), false);
    // An error text or an unknown schema is no answer, not a request.
    EXPECT_FALSE(reduceMotionFromGnomeSetting(""));
    EXPECT_FALSE(reduceMotionFromGnomeSetting("No such schema “org.gnome.desktop.interface”"));
    EXPECT_FALSE(reduceMotionFromGnomeSetting("falsey"));
}

TEST(DesktopReduceMotionTest, KdeAnimationSpeed) {
    EXPECT_EQ(reduceMotionFromKdeFactor("0"), true);
    EXPECT_EQ(reduceMotionFromKdeFactor("0.0"), true);
    EXPECT_EQ(reduceMotionFromKdeFactor("0.5"), false);
    EXPECT_EQ(reduceMotionFromKdeFactor("1"), false);
    EXPECT_FALSE(reduceMotionFromKdeFactor("fast"));
    EXPECT_FALSE(reduceMotionFromKdeFactor("0.5x"));
    EXPECT_FALSE(reduceMotionFromKdeFactor(""));
}

}  // namespace
}  // namespace pylonix::linux_platform
