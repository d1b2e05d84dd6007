// The StatusNotifierItem and the tray item on a private session bus, against a watcher
// written here.
#include "platform/linux/tray/status_notifier_item.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QQuickView>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <utility>

#include "app/tray_application.h"
#include "app/tray_item.h"
#include "platform/linux/tray/dbus_menu_types.h"
#include "private_session_bus.h"
#include "signal_recorder.h"

namespace pylonix {
namespace {

using linux_platform::StatusNotifierItem;
using linux_platform::StatusNotifierItemContent;
using linux_platform::StatusNotifierPixmap;
using linux_platform::StatusNotifierPixmaps;
using linux_platform::StatusNotifierToolTip;
using testing::SignalRecorder;

constexpr int kWaitMilliseconds = 5000;

// The watcher side of the protocol: records every registration and says whether a host runs.
class TestWatcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)

  public:
    explicit TestWatcher(QDBusConnection connection, bool hostRegistered = true)
        : connection_(std::move(connection)), hostRegistered_(hostRegistered) {
        connection_.registerObject(
            QString::fromLatin1(linux_platform::kStatusNotifierWatcherPath), this,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties |
                QDBusConnection::ExportAllSignals);
        connection_.registerService(
            QString::fromLatin1(linux_platform::kStatusNotifierWatcherService));
    }
    ~TestWatcher() override { stop(); }

    void stop() {
        connection_.unregisterService(
            QString::fromLatin1(linux_platform::kStatusNotifierWatcherService));
        connection_.unregisterObject(
            QString::fromLatin1(linux_platform::kStatusNotifierWatcherPath));
    }

    bool isHostRegistered() const { return hostRegistered_; }
    // Drops an item, as a host that lost it does.
    void drop(const QString& service) { emit StatusNotifierItemUnregistered(service); }
    QStringList registrations;
    QStringList registrationSenders;

  public slots:
    void RegisterStatusNotifierItem(const QString& service) {
        registrations.append(service);
        registrationSenders.append(message().service());
        emit registered();
    }

  signals:
    void registered();
    void StatusNotifierItemUnregistered(const QString& service);

  private:
    QDBusConnection connection_;
    bool hostRegistered_;
};

class StatusNotifierItemTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_QUICK_BACKEND", "software");
        static int argc = 1;
        static char name[] = "status_notifier_item_test";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr) new QApplication(argc, argv);

        QString error;
        ASSERT_TRUE(bus_.start(&error)) << error.toStdString();
        address_ = bus_.address();
        // The tray item's icon theme goes into a runtime folder of the suite's own.
        runtimeFolder_ = new QTemporaryDir();
        qputenv("XDG_RUNTIME_DIR", runtimeFolder_->path().toLocal8Bit());
    }

    static void TearDownTestSuite() {
        bus_.stop();
        delete runtimeFolder_;
    }

    void SetUp() override {
        ASSERT_FALSE(address_.isEmpty());
        static int connections = 0;
        ++connections;
        itemBus_ =
            QDBusConnection::connectToBus(address_, QStringLiteral("item-%1").arg(connections));
        watcherBus_ =
            QDBusConnection::connectToBus(address_, QStringLiteral("watcher-%1").arg(connections));
        ASSERT_TRUE(itemBus_.isConnected());
        ASSERT_TRUE(watcherBus_.isConnected());
    }

    void TearDown() override {
        QDBusConnection::disconnectFromBus(itemBus_.name());
        QDBusConnection::disconnectFromBus(watcherBus_.name());
    }

    // A property of the item as a host reads it over the bus.
    QVariant property(const QString& service, const char* name) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QString::fromLatin1(linux_platform::kStatusNotifierItemPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        call << QString::fromLatin1(linux_platform::kStatusNotifierItemInterface)
             << QString::fromLatin1(name);
        // BlockWithGui keeps the event loop running, so the item in this thread can answer.
        const QDBusMessage reply = watcherBus_.call(call, QDBus::BlockWithGui, kWaitMilliseconds);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << name << ": " << reply.errorMessage().toStdString();
        if (reply.arguments().isEmpty()) return {};
        return reply.arguments().first().value<QDBusVariant>().variant();
    }

    void listen(const QString& service, const QString& interface, const QString& name,
                SignalRecorder& recorder) {
        ASSERT_TRUE(watcherBus_.connect(
            service, QString::fromLatin1(linux_platform::kStatusNotifierItemPath), interface, name,
            &recorder, SLOT(record(QDBusMessage))));
    }

    // The icon drawer of `someContent`: one 2 × 1 image, counting how often it draws.
    static StatusNotifierItem::IconDrawer someIcon(int& drawn) {
        return [&drawn](const QString&) {
            ++drawn;
            QImage image(2, 1, QImage::Format_ARGB32);
            image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0x44));
            image.setPixel(1, 0, qRgba(0xff, 0x00, 0x80, 0xff));
            return StatusNotifierPixmaps{StatusNotifierPixmap::fromImage(image)};
        };
    }

    static StatusNotifierItemContent someContent() {
        StatusNotifierItemContent content;
        content.title = QStringLiteral("Pylonix");
        content.iconName = QStringLiteral("pylonix-test");
        content.toolTip.title = QStringLiteral("整机耗电估算 12.3 W，不含电池充电");
        content.toolTip.text =
            QStringLiteral("整机耗电估算，不含电池充电；面板中的分项使用约 2 秒平均值。");
        content.label = QStringLiteral("12.3 W");
        content.labelGuide = QStringLiteral("88.8 W");
        return content;
    }

    static inline QString address_;
    static inline testing::PrivateSessionBus bus_;
    static inline QTemporaryDir* runtimeFolder_ = nullptr;
    QDBusConnection itemBus_{QString()};
    QDBusConnection watcherBus_{QString()};
};

TEST_F(StatusNotifierItemTest, RegistersWithTheWatcherAndAgainWhenTheWatcherRestarts) {
    auto watcher = std::make_unique<TestWatcher>(watcherBus_);
    StatusNotifierItem item(itemBus_, QStringLiteral("pylonix"), QStringLiteral("Hardware"));
    QSignalSpy shown(&item, &StatusNotifierItem::shownByHostChanged);
    ASSERT_TRUE(item.publish());
    ASSERT_TRUE(shown.wait(kWaitMilliseconds));
    EXPECT_TRUE(item.isShownByHost());
    ASSERT_EQ(watcher->registrations, QStringList{itemBus_.baseService()});
    EXPECT_TRUE(item.serviceName().startsWith(QStringLiteral("org.kde.StatusNotifierItem-")));
    EXPECT_EQ(watcher->registrationSenders.first(), itemBus_.baseService());

    // The panel restarts: the watcher's name goes away and comes back with a new owner.
    watcher.reset();
    ASSERT_TRUE(shown.wait(kWaitMilliseconds));
    EXPECT_FALSE(item.isShownByHost());
    const QDBusConnection restartedBus =
        QDBusConnection::connectToBus(address_, QStringLiteral("restarted-watcher"));
    TestWatcher restarted(restartedBus);
    ASSERT_TRUE(shown.wait(kWaitMilliseconds));
    EXPECT_TRUE(item.isShownByHost());
    EXPECT_EQ(restarted.registrations, QStringList{itemBus_.baseService()});
    restarted.stop();
    QDBusConnection::disconnectFromBus(restartedBus.name());
}

TEST_F(StatusNotifierItemTest, AnItemTheHostDropsRegistersAgain) {
    TestWatcher watcher(watcherBus_);
    StatusNotifierItem item(itemBus_, QStringLiteral("pylonix"), QStringLiteral("Hardware"));
    QSignalSpy registered(&watcher, &TestWatcher::registered);
    ASSERT_TRUE(item.publish());
    ASSERT_TRUE(registered.wait(kWaitMilliseconds));
    // Other items, among them ones whose names begin as the item's own do.
    watcher.drop(QStringLiteral("org.kde.StatusNotifierItem-1-1"));
    watcher.drop(item.serviceName() + QStringLiteral("0"));
    watcher.drop(item.serviceName() + QStringLiteral("0@/StatusNotifierItem"));
    watcher.drop(itemBus_.baseService() + QStringLiteral("0/StatusNotifierItem"));
    EXPECT_FALSE(registered.wait(500));
    EXPECT_EQ(watcher.registrations, QStringList{itemBus_.baseService()});
    // The item itself, named as GNOME's extension names it.
    watcher.drop(itemBus_.baseService() + QStringLiteral("@/StatusNotifierItem"));
    ASSERT_TRUE(registered.wait(kWaitMilliseconds));
    EXPECT_EQ(watcher.registrations, (QStringList{itemBus_.baseService(), itemBus_.baseService()}));
}

TEST_F(StatusNotifierItemTest, WaitsForAWatcherAndForAHost) {
    StatusNotifierItem item(itemBus_, QStringLiteral("pylonix"), QStringLiteral("Hardware"));
    QSignalSpy shown(&item, &StatusNotifierItem::shownByHostChanged);
    ASSERT_TRUE(item.publish());
    // A watcher without a host accepts the item, but nothing shows it.
    auto hostless = std::make_unique<TestWatcher>(watcherBus_, false);
    QSignalSpy registered(hostless.get(), &TestWatcher::registered);
    ASSERT_TRUE(registered.wait(kWaitMilliseconds));
    QCoreApplication::processEvents();
    EXPECT_FALSE(item.isShownByHost());
    hostless.reset();

    TestWatcher watcher(watcherBus_);
    ASSERT_TRUE(shown.wait(kWaitMilliseconds));
    EXPECT_TRUE(item.isShownByHost());
}

TEST_F(StatusNotifierItemTest, EveryPropertyReadsAsPublished) {
    StatusNotifierItem item(itemBus_, QStringLiteral("pylonix"), QStringLiteral("Hardware"));
    int drawn = 0;
    item.setIconDrawer(someIcon(drawn));
    ASSERT_TRUE(item.publish());
    item.setContent(someContent());
    const QString service = item.serviceName();

    EXPECT_EQ(property(service, "Category").toString(), "Hardware");
    EXPECT_EQ(property(service, "Id").toString(), "pylonix");
    EXPECT_EQ(property(service, "Title").toString(), "Pylonix");
    EXPECT_EQ(property(service, "Status").toString(), "Active");
    EXPECT_EQ(property(service, "XAyatanaLabel").toString(), "12.3 W");
    EXPECT_EQ(property(service, "XAyatanaLabelGuide").toString(), "88.8 W");
    EXPECT_FALSE(property(service, "ItemIsMenu").toBool());
    EXPECT_EQ(property(service, "IconName").toString(), "");

    StatusNotifierPixmaps pixmaps;
    property(service, "IconPixmap").value<QDBusArgument>() >> pixmaps;
    ASSERT_EQ(pixmaps.size(), 1);
    EXPECT_EQ(pixmaps[0].width, 2);
    EXPECT_EQ(pixmaps[0].height, 1);
    // ARGB, each pixel in network byte order.
    EXPECT_EQ(pixmaps[0].argb, QByteArray::fromHex("44112233ffff0080"));
    EXPECT_EQ(pixmaps[0].toImage().pixel(1, 0), qRgba(0xff, 0x00, 0x80, 0xff));
    // Drawn once, on the first request; read again, the same icon is not drawn again.
    property(service, "IconPixmap");
    EXPECT_EQ(drawn, 1);

    StatusNotifierToolTip toolTip;
    property(service, "ToolTip").value<QDBusArgument>() >> toolTip;
    EXPECT_EQ(toolTip.title, someContent().toolTip.title);
    EXPECT_EQ(toolTip.text, someContent().toolTip.text);
}

TEST_F(StatusNotifierItemTest, EachChangeSendsItsSignalAndPropertiesChanged) {
    StatusNotifierItem item(itemBus_, QStringLiteral("pylonix"), QStringLiteral("Hardware"));
    ASSERT_TRUE(item.publish());
    item.setContent(someContent());
    const QString service = item.serviceName();
    SignalRecorder recorder;
    const QString sni = QString::fromLatin1(linux_platform::kStatusNotifierItemInterface);
    for (const char* name :
         {"NewIcon", "NewToolTip", "NewTitle", "NewStatus", "XAyatanaNewLabel"}) {
        listen(service, sni, QString::fromLatin1(name), recorder);
    }
    listen(service, QStringLiteral("org.freedesktop.DBus.Properties"),
           QStringLiteral("PropertiesChanged"), recorder);
    // A round trip, so that the bus applies the match rules and QtDBus knows the item's
    // owner before anything is sent.
    property(service, "Id");
    QSignalSpy recorded(&recorder, &SignalRecorder::recorded);
    const auto settle = [&](qsizetype count) {
        while (recorder.messages.size() < count && recorded.wait(kWaitMilliseconds)) {
        }
    };

    // The same content again says nothing; a new label says so twice.
    item.setContent(someContent());
    StatusNotifierItemContent content = someContent();
    content.label = QStringLiteral("9.8 W");
    item.setContent(content);
    settle(2);
    ASSERT_EQ(recorder.names(), (QStringList{"XAyatanaNewLabel", "PropertiesChanged"}));
    EXPECT_EQ(recorder.messages[0].arguments(), (QVariantList{"9.8 W", "88.8 W"}));
    const QList<QVariant> changed = recorder.messages[1].arguments();
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed[0].toString(), sni);
    const QVariantMap values = qdbus_cast<QVariantMap>(changed[1]);
    EXPECT_EQ(values.value("XAyatanaLabel").toString(), "9.8 W");
    EXPECT_EQ(values.value("XAyatanaLabelGuide").toString(), "88.8 W");
    EXPECT_EQ(values.size(), 2);

    // Icon and tooltip together: one signal each and one PropertiesChanged with both, the
    // icon's images invalidated rather than sent, so that nothing draws them unasked.
    recorder.messages.clear();
    content.iconName = QStringLiteral("pylonix-other");
    content.toolTip.title = QStringLiteral("整机耗电暂不可用");
    item.setContent(content);
    settle(3);
    EXPECT_EQ(recorder.names(), (QStringList{"NewIcon", "NewToolTip", "PropertiesChanged"}));
    ASSERT_EQ(recorder.messages.size(), 3);
    const QVariantMap iconAndTip = qdbus_cast<QVariantMap>(recorder.messages[2].arguments()[1]);
    EXPECT_EQ(iconAndTip.keys(), (QStringList{"IconName", "IconThemePath", "ToolTip"}));
    EXPECT_EQ(recorder.messages[2].arguments()[2].toStringList(), QStringList{"IconPixmap"});
}

TEST_F(StatusNotifierItemTest, ClicksReportWhereAndTheContextMenuIsTheHosts) {
    StatusNotifierItem item(itemBus_, QStringLiteral("pylonix"), QStringLiteral("Hardware"));
    ASSERT_TRUE(item.publish());
    QSignalSpy activated(&item, &StatusNotifierItem::activated);
    QSignalSpy secondary(&item, &StatusNotifierItem::secondaryActivated);
    const auto send = [&](const char* method, const QVariantList& arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            item.serviceName(), QString::fromLatin1(linux_platform::kStatusNotifierItemPath),
            QString::fromLatin1(linux_platform::kStatusNotifierItemInterface),
            QString::fromLatin1(method));
        call.setArguments(arguments);
        const QDBusMessage reply = watcherBus_.call(call, QDBus::BlockWithGui, kWaitMilliseconds);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method;
    };
    send("ContextMenu", {1210, 12});  // answered, and left to the host's menu
    send("Activate", {1210, 12});
    send("SecondaryActivate", {1200, 10});
    send("XAyatanaSecondaryActivate", {12345u});
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated[0][0].toPoint(), QPoint(1210, 12));
    ASSERT_EQ(secondary.size(), 2);
    EXPECT_EQ(secondary[0][0].toPoint(), QPoint(1200, 10));
    EXPECT_TRUE(secondary[1][0].toPoint().isNull());  // a timestamp says nothing of where
}

TEST_F(StatusNotifierItemTest, ASecondItemOnTheSameBusGetsItsOwnName) {
    StatusNotifierItem first(itemBus_, QStringLiteral("pylonix"), QStringLiteral("Hardware"));
    ASSERT_TRUE(first.publish());
    const QDBusConnection otherBus =
        QDBusConnection::connectToBus(address_, QStringLiteral("other"));
    StatusNotifierItem second(otherBus, QStringLiteral("pylonix"), QStringLiteral("Hardware"));
    QString error;
    EXPECT_TRUE(second.publish(&error)) << error.toStdString();
    EXPECT_NE(first.serviceName(), second.serviceName());
}

// The tray item and the application on top of the exporter.
class TrayItemOnBusTest : public StatusNotifierItemTest {
  protected:
    static TrayItemValues values(const char* value, const char* figure, const char* accessibility) {
        return {QStringLiteral("bolt"),
                QString::fromUtf8(value),
                QString::fromUtf8(figure),
                false,
                QStringLiteral("arrow_circle_down"),
                QString::fromUtf8(accessibility),
                QStringLiteral("整机耗电估算，不含电池充电；面板中的分项使用约 2 秒平均值。")};
    }

    // An application whose panel loads with `loader` (instantly by default) and counts its
    // openings and closings.
    TrayApplication::Options countingOptions(
        int& opened, int& closed,
        PanelWindow::SceneLoader loader = [](QQuickView&) { return true; }) {
        return {
            .panelLoader = std::move(loader),
            .panelSize = [](const QScreen*) { return QSize(360, 640); },
            .panelOpened = [&opened] { ++opened; },
            .panelClosed = [&closed] { ++closed; },
            .refreshNow = [] {},
            .quit = [] {},
            .trayShowsLabels = true,
            .bus = itemBus_,
        };
    }

    // A host's left click on the item at `service`.
    QDBusPendingCall activate(const QString& service, int x, int y) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QString::fromLatin1(linux_platform::kStatusNotifierItemPath),
            QString::fromLatin1(linux_platform::kStatusNotifierItemInterface),
            QStringLiteral("Activate"));
        call << x << y;
        return watcherBus_.asyncCall(call);
    }

    // The item's service name, from the watcher's registrations.
    static QString waitForRegistration(TestWatcher& watcher) {
        QSignalSpy registered(&watcher, &TestWatcher::registered);
        if (watcher.registrations.isEmpty()) registered.wait(kWaitMilliseconds);
        return watcher.registrations.value(0);
    }
};

TEST_F(TrayItemOnBusTest, PublishedValuesBecomeTheLabelTheToolTipAndTheIcon) {
    TestWatcher watcher(watcherBus_);
    TrayItem tray(itemBus_, /*showsLabels=*/true);
    QSignalSpy presence(&tray, &TrayItem::presenceChanged);
    tray.show(values("12.3 W", "12", "整机耗电估算 12.3 W，不含电池充电"));
    const QString service = waitForRegistration(watcher);
    ASSERT_FALSE(service.isEmpty());
    while (tray.presence() != TrayItem::Presence::statusNotifier &&
           presence.wait(kWaitMilliseconds)) {
    }
    ASSERT_EQ(tray.presence(), TrayItem::Presence::statusNotifier);
    EXPECT_FALSE(tray.iconCarriesFigure());

    SignalRecorder labels;
    listen(service, QString::fromLatin1(linux_platform::kStatusNotifierItemInterface),
           QStringLiteral("XAyatanaNewLabel"), labels);
    property(service, "Id");  // the match rule applied before the change
    QSignalSpy recorded(&labels, &SignalRecorder::recorded);
    tray.show(values("9.8 W", "9.8", "整机耗电估算 9.8 W，不含电池充电"));
    ASSERT_TRUE(recorded.wait(kWaitMilliseconds));
    EXPECT_EQ(labels.messages[0].arguments(), (QVariantList{"\u20079.8 W", "88.8 W"}));

    StatusNotifierToolTip toolTip;
    property(service, "ToolTip").value<QDBusArgument>() >> toolTip;
    EXPECT_EQ(toolTip.title, "整机耗电估算 9.8 W，不含电池充电");
    EXPECT_EQ(toolTip.text, "整机耗电估算，不含电池充电；面板中的分项使用约 2 秒平均值。");

    // The icon at every size the hosts ask for, each drawn at that size.
    StatusNotifierPixmaps pixmaps;
    property(service, "IconPixmap").value<QDBusArgument>() >> pixmaps;
    QList<int> sizes;
    for (const StatusNotifierPixmap& pixmap : pixmaps) {
        EXPECT_EQ(pixmap.width, pixmap.height);
        EXPECT_FALSE(pixmap.toImage().isNull());
        sizes.append(pixmap.width);
    }
    EXPECT_EQ(sizes, (QList<int>{16, 22, 24, 32, 44, 48, 64, 96}));

    // By name too: the same images in a private hicolor theme, and the description.
    const QString name = property(service, "IconName").toString();
    const QString themePath = property(service, "IconThemePath").toString();
    EXPECT_EQ(name, "pylonix-bolt");
    ASSERT_TRUE(themePath.startsWith(runtimeFolder_->path()));
    EXPECT_TRUE(QFile::exists(themePath + "/hicolor/index.theme"));
    const QImage file(themePath + "/hicolor/22x22/apps/" + name + ".png");
    EXPECT_EQ(file.convertToFormat(QImage::Format_ARGB32), pixmaps[1].toImage());
    EXPECT_EQ(property(service, "IconAccessibleDesc").toString(),
              "整机耗电估算 9.8 W，不含电池充电");
}

TEST_F(TrayItemOnBusTest, AHostThatRestartsFindsTheItemWhereItWas) {
    auto watcher = std::make_unique<TestWatcher>(watcherBus_);
    TrayItem tray(itemBus_, /*showsLabels=*/true);
    QSignalSpy presence(&tray, &TrayItem::presenceChanged);
    tray.show(values("12.3 W", "12", "整机耗电估算 12.3 W，不含电池充电"));
    ASSERT_FALSE(waitForRegistration(*watcher).isEmpty());
    while (tray.presence() != TrayItem::Presence::statusNotifier &&
           presence.wait(kWaitMilliseconds)) {
    }
    ASSERT_EQ(tray.presence(), TrayItem::Presence::statusNotifier);
    QTest::qWait(1600);  // the restart comes after the first answer's time limit (1.5 s)
    presence.clear();

    // The panel restarts: its watcher goes away and comes back. In between, no other tray is
    // tried (Qt's tray icon would be a second item in the same host), and the item does not
    // count as gone (which would bring up the notice).
    watcher.reset();
    QTest::qWait(200);  // the item hears that the watcher went away
    const QDBusConnection restartedBus =
        QDBusConnection::connectToBus(address_, QStringLiteral("returning-watcher"));
    TestWatcher restarted(restartedBus);
    ASSERT_FALSE(waitForRegistration(restarted).isEmpty());
    QTest::qWait(100);  // the host's answer
    EXPECT_TRUE(presence.isEmpty());
    EXPECT_EQ(tray.presence(), TrayItem::Presence::statusNotifier);
    restarted.stop();
    QDBusConnection::disconnectFromBus(restartedBus.name());
}

TEST_F(TrayItemOnBusTest, WhereTheHostShowsNoLabelTheIconCarriesTheFigure) {
    TestWatcher watcher(watcherBus_);
    TrayItem tray(itemBus_, /*showsLabels=*/false);
    tray.show(values("12.3 W", "12", "整机耗电估算 12.3 W，不含电池充电"));
    const QString service = waitForRegistration(watcher);
    QSignalSpy presence(&tray, &TrayItem::presenceChanged);
    while (tray.presence() != TrayItem::Presence::statusNotifier &&
           presence.wait(kWaitMilliseconds)) {
    }
    ASSERT_TRUE(tray.iconCarriesFigure());

    StatusNotifierPixmaps pixmaps;
    property(service, "IconPixmap").value<QDBusArgument>() >> pixmaps;
    ASSERT_FALSE(pixmaps.isEmpty());
    const TrayIconContent figure{TrayIconContent::Kind::figure, "12", false, "arrow_circle_down"};
    EXPECT_EQ(pixmaps[0].toImage(), TrayIconPainter().draw(figure, 16));
    // The label is published all the same, for hosts that show it after all.
    EXPECT_EQ(property(service, "XAyatanaLabel").toString(), "12.3 W");
}

TEST_F(TrayItemOnBusTest, ActivateOpensThePanelAndEscapeClosesIt) {
    TestWatcher watcher(watcherBus_);
    int opened = 0;
    int closed = 0;
    TrayApplication application(countingOptions(opened, closed));
    application.show(values("12.3 W", "12", "整机耗电估算 12.3 W，不含电池充电"));
    const QString service = waitForRegistration(watcher);
    QSignalSpy openedSpy(&application.panel(), &PanelWindow::opened);

    activate(service, 1000, 10);
    ASSERT_TRUE(openedSpy.wait(kWaitMilliseconds));
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(application.panel().isOpen());
    ASSERT_NE(application.panel().view(), nullptr);
    EXPECT_EQ(application.panel().view()->size(), QSize(360, 640));

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(application.panel().view(), &escape);
    EXPECT_FALSE(application.panel().isOpen());
    EXPECT_EQ(closed, 1);
}

TEST_F(TrayItemOnBusTest, ADoubleClickOpensThePanelOnceHoweverLongTheOpeningTakes) {
    TestWatcher watcher(watcherBus_);
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    int opened = 0;
    int closed = 0;
    // An opening slower than the double-click interval (a loaded machine).
    TrayApplication application(countingOptions(opened, closed, [interval](QQuickView&) {
        QThread::msleep(static_cast<unsigned long>(interval + 200));
        return true;
    }));
    application.show(values("12.3 W", "12", "整机耗电估算 12.3 W，不含电池充电"));
    const QString service = waitForRegistration(watcher);

    // Answered by this thread's event loop, which the waiting runs.
    const auto handled = [](const QList<QDBusPendingCall>& calls) {
        QElapsedTimer waited;
        waited.start();
        while (!std::all_of(calls.begin(), calls.end(), [](const QDBusPendingCall& call) {
            return call.isFinished();
        }) && waited.elapsed() < kWaitMilliseconds) {
            QTest::qWait(20);
        }
    };

    // Two presses and the double click itself, as waybar sends them, a few milliseconds apart.
    handled({activate(service, 11, 13), activate(service, 11, 13), activate(service, 11, 13)});
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(application.panel().isOpen());

    // A click after the interval is the next one: it closes the panel.
    QTest::qWait(interval + 50);
    handled({activate(service, 11, 13)});
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(application.panel().isOpen());
}

TEST_F(TrayItemOnBusTest, TheMenuOpensThePanelRefreshesAndQuits) {
    TestWatcher watcher(watcherBus_);
    int refreshed = 0;
    int quitted = 0;
    TrayApplication application({
        .panelLoader = [](QQuickView&) { return true; },
        .panelSize = [](const QScreen*) { return QSize(360, 640); },
        .panelOpened = [] {},
        .panelClosed = [] {},
        .refreshNow = [&] { ++refreshed; },
        .quit = [&] { ++quitted; },
        .trayShowsLabels = true,
        .bus = itemBus_,
    });
    application.show(values("12.3 W", "12", "整机耗电估算 12.3 W，不含电池充电"));
    const QString service = waitForRegistration(watcher);
    const QString menuPath = property(service, "Menu").value<QDBusObjectPath>().path();
    ASSERT_EQ(menuPath, "/MenuBar");
    EXPECT_FALSE(property(service, "ItemIsMenu").toBool());

    // What a host does on a right click: the layout, then a click on an entry by its label.
    const auto callMenu = [&](const char* method, const QVariantList& arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, menuPath,
                                                           QStringLiteral("com.canonical.dbusmenu"),
                                                           QString::fromLatin1(method));
        call.setArguments(arguments);
        return watcherBus_.call(call, QDBus::BlockWithGui, kWaitMilliseconds);
    };
    const QDBusMessage layoutReply = callMenu("GetLayout", {0, -1, QStringList{"label"}});
    linux_platform::DBusMenuLayoutItem layout;
    layoutReply.arguments().value(1).value<QDBusArgument>() >> layout;
    QMap<QString, int> ids;
    for (const auto& entry : layout.children)
        ids.insert(entry.properties.value("label").toString(), entry.id);
    ASSERT_EQ(ids.keys(), (QStringList{"打开 Pylonix", "立即刷新", "退出 Pylonix"}));
    const auto click = [&](const char* label) {
        callMenu("Event", {ids.value(QString::fromUtf8(label)), QStringLiteral("clicked"),
                           QVariant::fromValue(QDBusVariant(0)), 0u});
    };
    click("立即刷新");
    EXPECT_EQ(refreshed, 1);
    click("打开 Pylonix");
    EXPECT_TRUE(application.panel().isOpen());
    click("打开 Pylonix");  // opens, never toggles
    EXPECT_TRUE(application.panel().isOpen());
    click("退出 Pylonix");
    EXPECT_EQ(quitted, 1);
}

}  // namespace
}  // namespace pylonix

#include "status_notifier_item_test.moc"
