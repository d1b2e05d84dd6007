#include "platform/linux/desktop/desktop_color_scheme.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "fake_gsettings.h"

namespace pylonix::linux_platform {
namespace {

// The portal's Settings interface, written in the test: it answers Read for the appearance's
// colour scheme as the real portal does (a variant in a variant) and signals changes.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

  public:
    uint scheme = 0;

    // Sent on the portal's own connection, as the portal signals a change.
    void change(QDBusConnection bus, uint value,
                const QString& key = QStringLiteral("color-scheme")) {
        scheme = value;
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("SettingChanged"));
        signal << QStringLiteral("org.freedesktop.appearance") << key
               << QVariant::fromValue(QDBusVariant(QVariant::fromValue(value)));
        ASSERT_TRUE(bus.send(signal));
    }

  public slots:
    QDBusVariant Read(const QString& group, const QString& key) {
        if (group != QStringLiteral("org.freedesktop.appearance") ||
            key != QStringLiteral("color-scheme")) {
            return QDBusVariant(QVariant::fromValue(QDBusVariant(QVariant::fromValue(0u))));
        }
        return QDBusVariant(QVariant::fromValue(QDBusVariant(QVariant::fromValue(scheme))));
    }
};

class DesktopColorSchemeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        QProcess daemon;
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--fork"),
                      QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
        ASSERT_TRUE(daemon.waitForFinished(5000)) << "dbus-daemon did not start";
        const QStringList lines =
            QString::fromUtf8(daemon.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2);
        address_ = lines[0].trimmed();
        daemonPid_ = lines[1].trimmed().toInt();
    }
    static void TearDownTestSuite() {
        if (daemonPid_ > 0) ::kill(daemonPid_, SIGTERM);
    }

    void SetUp() override {
        ASSERT_FALSE(address_.isEmpty());
        static int connections = 0;
        ++connections;
        portalBus_ =
            QDBusConnection::connectToBus(address_, QStringLiteral("portal-%1").arg(connections));
        appBus_ =
            QDBusConnection::connectToBus(address_, QStringLiteral("app-%1").arg(connections));
        ASSERT_TRUE(portalBus_.isConnected() && appBus_.isConnected());
        gsettings_.write("color-scheme", "'default'");
    }
    void TearDown() override {
        portalBus_.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
        portalBus_.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        QDBusConnection::disconnectFromBus(portalBus_.name());
        QDBusConnection::disconnectFromBus(appBus_.name());
    }
    void startPortal() {
        ASSERT_TRUE(portalBus_.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                              &portal_, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(portalBus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    }
    DesktopColorScheme::Sources sources() {
        return {.bus = appBus_, .gsettings = gsettings_.program()};
    }

    static inline QString address_;
    static inline int daemonPid_ = 0;
    QDBusConnection portalBus_{QString()};
    QDBusConnection appBus_{QString()};
    FakePortal portal_;
    testing::FakeGSettings gsettings_;
};

TEST_F(DesktopColorSchemeTest, PortalValueThenItsLiveChanges) {
    portal_.scheme = 1;
    startPortal();
    DesktopColorScheme scheme(sources());
    QSignalSpy changes(&scheme, &DesktopColorScheme::prefersDarkChanged);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheme.prefersDark(); }, 5000));
    EXPECT_EQ(changes.count(), 1);

    portal_.change(portalBus_, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scheme.prefersDark(); }, 5000));
    EXPECT_EQ(changes.count(), 2);
    EXPECT_FALSE(changes.last().value(0).toBool());

    // Another key of the same group changes nothing.
    portal_.change(portalBus_, 1, QStringLiteral("accent-color"));
    QTest::qWait(200);
    EXPECT_FALSE(scheme.prefersDark());
    portal_.change(portalBus_, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheme.prefersDark(); }, 5000));
}

TEST_F(DesktopColorSchemeTest, GnomeDecidesWhenThePortalHasNoPreference) {
    portal_.scheme = 0;
    startPortal();
    gsettings_.write("color-scheme", "'prefer-dark'");
    DesktopColorScheme scheme(sources());
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheme.prefersDark(); }, 5000));
    // The portal's answer, once it has one, comes first.
    portal_.change(portalBus_, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scheme.prefersDark(); }, 5000));
}

TEST_F(DesktopColorSchemeTest, WithoutAPortalGnomeIsFollowedLive) {
    DesktopColorScheme scheme(sources());
    QTest::qWait(300);
    EXPECT_FALSE(scheme.prefersDark());
    gsettings_.write("color-scheme", "'prefer-dark'");
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheme.prefersDark(); }, 5000));
    gsettings_.write("color-scheme", "'prefer-light'");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scheme.prefersDark(); }, 5000));
}

TEST(DesktopColorSchemeValuesTest, PortalAndGnomeValues) {
    EXPECT_EQ(prefersDarkFromPortal(QVariant::fromValue(1u)), true);
    EXPECT_EQ(prefersDarkFromPortal(QVariant::fromValue(2u)), false);
    EXPECT_FALSE(prefersDarkFromPortal(QVariant::fromValue(0u)));
    EXPECT_FALSE(prefersDarkFromPortal(QVariant::fromValue(7u)));
    EXPECT_FALSE(prefersDarkFromPortal(QVariant(QStringLiteral("dark"))));
    EXPECT_EQ(prefersDarkFromPortal(
                  QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(1u))))),
              true);
    EXPECT_EQ(prefersDarkFromGnome("'prefer-dark'"), true);
    EXPECT_EQ(prefersDarkFromGnome("'default'"), false);
    EXPECT_EQ(prefersDarkFromGnome("'prefer-light'"), false);
    EXPECT_FALSE(prefersDarkFromGnome("prefer-dark"));
}

}  // namespace
}  // namespace pylonix::linux_platform

#include "desktop_color_scheme_test.moc"
