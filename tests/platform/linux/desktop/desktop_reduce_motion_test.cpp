#include "platform/linux/desktop/desktop_reduce_motion.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

// A desktop written in the test: a gsettings that answers from, and monitors, one file per
// key, and a kdeglobals.
class LiveReduceMotionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(directory_.isValid());
        write("enable-animations", "true");
        write("gsettings",
              "#!/bin/sh\n"
              "file=\"$(dirname \"$0\")/$3\"\n"
              "[ -e \"$file\" ] || { echo \"No such key\" >&2; exit 1; }\n"
              "case \"$1\" in\n"
              "get) cat \"$file\" ;;\n"
              "monitor) last=$(cat \"$file\")\n"
              "  while sleep 0.02; do now=$(cat \"$file\")\n"
              "    [ \"$now\" = \"$last\" ] || echo \"$3: $now\"; last=$now; done ;;\n"
              "esac\n");
        QFile::setPermissions(path("gsettings"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path(const char* name) const { return directory_.filePath(QString::fromUtf8(name)); }
    void write(const char* name, const char* content) const {
        // Replaced, not rewritten in place, the way settings daemons save.
        QFile file(path(name) + QStringLiteral(".new"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QFile::remove(path(name));
        ASSERT_TRUE(QFile::rename(path(name) + QStringLiteral(".new"), path(name)));
    }
    DesktopReduceMotion::Sources sources(bool plasmaFirst) const {
        return {.gsettings = path("gsettings"),
                .kdeglobals = path("kdeglobals"),
                .plasmaFirst = plasmaFirst};
    }

    QTemporaryDir directory_;
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
    DesktopReduceMotion motion({.gsettings = path("gsettings"),
                                .kdeglobals = path("none/kdeglobals"),
                                .plasmaFirst = false});
    QTest::qWait(300);
    EXPECT_FALSE(motion.reduceMotion());
}

}  // namespace
}  // namespace pylonix::linux_platform
