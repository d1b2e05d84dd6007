#include "platform/linux/desktop/desktop_reduce_motion.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "fake_gsettings.h"

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

TEST(DesktopReduceMotionTest, KdeGlobalsFactorOnlyInItsGroup) {
    EXPECT_EQ(kdeAnimationDurationFactor("[General]\nColorScheme=Breeze\n\n[KDE]\n"
                                         "LookAndFeelPackage=x\nAnimationDurationFactor = 0\n"),
              "0");
    EXPECT_EQ(kdeAnimationDurationFactor("[KDE]\r\nAnimationDurationFactor=0.5\r\n"), "0.5");
    // The same key in another group, or none at all: KDE's default speed.
    EXPECT_FALSE(
        kdeAnimationDurationFactor("[KDE Action Restrictions]\nAnimationDurationFactor=0"));
    EXPECT_FALSE(kdeAnimationDurationFactor("AnimationDurationFactor=0\n[KDE]\nSingleClick=false"));
    EXPECT_FALSE(kdeAnimationDurationFactor(""));
}

// A desktop written in the test: the gsettings and the kdeglobals.
class LiveReduceMotionTest : public ::testing::Test {
  protected:
    void SetUp() override { write("enable-animations", "true"); }
    QString path(const char* name) const { return desktop_.path(name); }
    void write(const char* name, const char* content) const { desktop_.write(name, content); }
    DesktopReduceMotion::Sources sources(bool plasmaFirst) const {
        return {.gsettings = desktop_.program(),
                .kdeglobals = path("kdeglobals"),
                .plasmaFirst = plasmaFirst};
    }

    testing::FakeGSettings desktop_;
};

TEST_F(LiveReduceMotionTest, GnomeSwitchFollowedLive) {
    DesktopReduceMotion motion(sources(false));
    QSignalSpy changes(&motion, &DesktopReduceMotion::reduceMotionChanged);
    QTest::qWait(300);  // the first answer: animations on, nothing to report
    EXPECT_FALSE(motion.reduceMotion());
    EXPECT_EQ(changes.count(), 0);

    write("enable-animations", "false");
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_TRUE(motion.reduceMotion());
    EXPECT_EQ(changes.takeFirst().value(0).toBool(), true);

    write("enable-animations", "true");
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_FALSE(motion.reduceMotion());
}

TEST_F(LiveReduceMotionTest, StartsFromTheDesktopsValue) {
    write("enable-animations", "false");
    DesktopReduceMotion motion(sources(false));
    QSignalSpy changes(&motion, &DesktopReduceMotion::reduceMotionChanged);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_TRUE(motion.reduceMotion());
}

TEST_F(LiveReduceMotionTest, PlasmaSpeedFollowedLiveAndFirstOnPlasma) {
    write("kdeglobals", "[KDE]\nAnimationDurationFactor=1\n");
    write("enable-animations", "false");  // a leftover GNOME setting
    DesktopReduceMotion motion(sources(true));
    QSignalSpy changes(&motion, &DesktopReduceMotion::reduceMotionChanged);
    QTest::qWait(400);
    EXPECT_FALSE(motion.reduceMotion());

    write("kdeglobals", "[KDE]\nAnimationDurationFactor=0\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return motion.reduceMotion(); }, 5000));
    // KDE's setting gone: GNOME's decides.
    write("kdeglobals", "[General]\n");
    write("enable-animations", "true");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !motion.reduceMotion(); }, 5000));
}

TEST_F(LiveReduceMotionTest, NoDesktopSettingsMeansFullMotion) {
    QFile::remove(path("enable-animations"));
    DesktopReduceMotion motion({.gsettings = desktop_.program(),
                                .kdeglobals = path("none/kdeglobals"),
                                .plasmaFirst = false});
    QTest::qWait(300);
    EXPECT_FALSE(motion.reduceMotion());
}

}  // namespace
}  // namespace pylonix::linux_platform
