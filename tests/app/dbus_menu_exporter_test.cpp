// The menu exporter on a private session bus, against a client written here.
#include "platform/linux/tray/dbus_menu_exporter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QSignalSpy>

#include "private_session_bus.h"
#include "signal_recorder.h"

namespace pylonix {
namespace {

using linux_platform::DBusMenuEntry;
using linux_platform::DBusMenuEvent;
using linux_platform::DBusMenuEventList;
using linux_platform::DBusMenuExporter;
using linux_platform::DBusMenuItemKeysList;
using linux_platform::DBusMenuItemList;
using linux_platform::DBusMenuLayoutItem;
using testing::SignalRecorder;

constexpr int kWaitMilliseconds = 5000;
const QString kPath = QStringLiteral("/MenuBar");
const QString kInterface = QStringLiteral("com.canonical.dbusmenu");

class DBusMenuExporterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "dbus_menu_exporter_test";
        static char* argv[] = {name, nullptr};
        // The suite shares its binary with widget tests, which need the full application.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (QCoreApplication::instance() == nullptr) new QApplication(argc, argv);
        QString error;
        ASSERT_TRUE(bus_.start(&error)) << error.toStdString();
    }
    static void TearDownTestSuite() { bus_.stop(); }

    void SetUp() override {
        static int connections = 0;
        ++connections;
        menuBus_ = QDBusConnection::connectToBus(bus_.address(),
                                                 QStringLiteral("menu-%1").arg(connections));
        clientBus_ = QDBusConnection::connectToBus(bus_.address(),
                                                   QStringLiteral("client-%1").arg(connections));
        ASSERT_TRUE(menuBus_.isConnected() && clientBus_.isConnected());
        menu_.setEntries({{1, QStringLiteral("打开 Pylonix")},
                          {2, QStringLiteral("立即刷新")},
                          {3, QStringLiteral("退出 Pylonix")}});
        ASSERT_TRUE(menu_.exportAt(menuBus_, kPath));
    }
    void TearDown() override {
        menuBus_.unregisterObject(kPath);
        QDBusConnection::disconnectFromBus(menuBus_.name());
        QDBusConnection::disconnectFromBus(clientBus_.name());
    }

    // A call as a tray host makes it, with the event loop running so the menu can answer.
    QDBusMessage call(const char* method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            menuBus_.baseService(), kPath, kInterface, QString::fromLatin1(method));
        message.setArguments(arguments);
        return clientBus_.call(message, QDBus::BlockWithGui, kWaitMilliseconds);
    }

    static QVariant argumentOf(const QList<int>& ids) { return QVariant::fromValue(ids); }

    static DBusMenuLayoutItem layoutOf(const QDBusMessage& reply) {
        DBusMenuLayoutItem layout;
        reply.arguments().value(1).value<QDBusArgument>() >> layout;
        return layout;
    }

    void listen(const char* signal, SignalRecorder& recorder) {
        ASSERT_TRUE(clientBus_.connect(menuBus_.baseService(), kPath, kInterface,
                                       QString::fromLatin1(signal), &recorder,
                                       SLOT(record(QDBusMessage))));
    }

    static inline testing::PrivateSessionBus bus_;
    QDBusConnection menuBus_{QString()};
    QDBusConnection clientBus_{QString()};
    DBusMenuExporter menu_;
};

TEST_F(DBusMenuExporterTest, TheLayoutHoldsEveryEntryUnderTheRoot) {
    const QDBusMessage whole = call("GetLayout", {0, -1, QStringList()});
    ASSERT_EQ(whole.type(), QDBusMessage::ReplyMessage) << whole.errorMessage().toStdString();
    EXPECT_EQ(whole.arguments().value(0).toUInt(), menu_.revision());
    const DBusMenuLayoutItem root = layoutOf(whole);
    EXPECT_EQ(root.id, 0);
    EXPECT_EQ(root.properties.value("children-display").toString(), "submenu");
    ASSERT_EQ(root.children.size(), 3);
    EXPECT_EQ(root.children[0].id, 1);
    EXPECT_EQ(root.children[0].properties.value("label").toString(), "打开 Pylonix");
    EXPECT_EQ(root.children[2].properties.value("label").toString(), "退出 Pylonix");
    EXPECT_TRUE(root.children[1].children.isEmpty());

    // No deeper than asked, and only the properties asked for.
    EXPECT_TRUE(layoutOf(call("GetLayout", {0, 0, QStringList()})).children.isEmpty());
    const DBusMenuLayoutItem entry = layoutOf(call("GetLayout", {2, -1, QStringList{"label"}}));
    EXPECT_EQ(entry.id, 2);
    EXPECT_EQ(entry.properties, (QVariantMap{{"label", "立即刷新"}}));
    EXPECT_TRUE(
        layoutOf(call("GetLayout", {2, -1, QStringList{"icon-name"}})).properties.isEmpty());

    EXPECT_EQ(call("GetLayout", {7, -1, QStringList()}).type(), QDBusMessage::ErrorMessage);
}

TEST_F(DBusMenuExporterTest, PropertiesByGroupAndOneByOne) {
    menu_.setEntries({{1, QStringLiteral("a_b")}, {2, QStringLiteral("off"), false}});
    const QDBusMessage group = call("GetGroupProperties", {argumentOf({1, 2, 9}), QStringList()});
    ASSERT_EQ(group.type(), QDBusMessage::ReplyMessage) << group.errorMessage().toStdString();
    DBusMenuItemList items;
    group.arguments().value(0).value<QDBusArgument>() >> items;
    ASSERT_EQ(items.size(), 2);  // the unknown id is left out
    EXPECT_EQ(items[0].id, 1);
    // An underscore would mark an access key: a real one is doubled.
    EXPECT_EQ(items[0].properties, (QVariantMap{{"label", "a__b"}}));
    EXPECT_EQ(items[1].properties.value("enabled"), QVariant(false));

    const QDBusMessage label = call("GetProperty", {1, QStringLiteral("label")});
    ASSERT_EQ(label.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(label.arguments().value(0).value<QDBusVariant>().variant().toString(), "a__b");
    EXPECT_EQ(call("GetProperty", {1, QStringLiteral("enabled")}).type(),
              QDBusMessage::ErrorMessage);  // not set while it has its default
    EXPECT_EQ(call("GetProperty", {9, QStringLiteral("label")}).type(), QDBusMessage::ErrorMessage);
}

TEST_F(DBusMenuExporterTest, AClickActivatesItsEntryOnly) {
    QSignalSpy activated(&menu_, &DBusMenuExporter::entryActivated);
    const QVariant noData = QVariant::fromValue(QDBusVariant(QString()));
    EXPECT_EQ(call("Event", {2, QStringLiteral("hovered"), noData, 0u}).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(call("Event", {0, QStringLiteral("clicked"), noData, 0u}).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_TRUE(activated.isEmpty());
    EXPECT_EQ(call("Event", {2, QStringLiteral("clicked"), noData, 0u}).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(call("Event", {9, QStringLiteral("clicked"), noData, 0u}).type(),
              QDBusMessage::ErrorMessage);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated[0][0].toInt(), 2);

    // A group: the known entries act, the unknown ones come back as errors.
    const DBusMenuEventList events = {{3, QStringLiteral("clicked"), QDBusVariant(0), 0},
                                      {8, QStringLiteral("clicked"), QDBusVariant(0), 0}};
    const QDBusMessage group = call("EventGroup", {QVariant::fromValue(events)});
    ASSERT_EQ(group.type(), QDBusMessage::ReplyMessage) << group.errorMessage().toStdString();
    EXPECT_EQ(qdbus_cast<QList<int>>(group.arguments().value(0)), QList<int>{8});
    ASSERT_EQ(activated.size(), 2);
    EXPECT_EQ(activated[1][0].toInt(), 3);

    // A disabled entry does nothing.
    menu_.setEntries({{1, QStringLiteral("a")}, {2, QStringLiteral("b"), false}});
    call("Event", {2, QStringLiteral("clicked"), noData, 0u});
    EXPECT_EQ(activated.size(), 2);
}

TEST_F(DBusMenuExporterTest, AboutToShowNeverAsksForAnUpdate) {
    const QDBusMessage one = call("AboutToShow", {0});
    ASSERT_EQ(one.type(), QDBusMessage::ReplyMessage);
    EXPECT_FALSE(one.arguments().value(0).toBool());
    EXPECT_EQ(call("AboutToShow", {9}).type(), QDBusMessage::ErrorMessage);
    const QDBusMessage group = call("AboutToShowGroup", {argumentOf({0, 1, 9})});
    ASSERT_EQ(group.type(), QDBusMessage::ReplyMessage) << group.errorMessage().toStdString();
    EXPECT_TRUE(qdbus_cast<QList<int>>(group.arguments().value(0)).isEmpty());
    EXPECT_EQ(qdbus_cast<QList<int>>(group.arguments().value(1)), QList<int>{9});
}

TEST_F(DBusMenuExporterTest, ChangesAnnounceTheNewLayoutOrJustTheNewProperties) {
    SignalRecorder layouts;
    SignalRecorder properties;
    listen("LayoutUpdated", layouts);
    listen("ItemsPropertiesUpdated", properties);
    QSignalSpy layoutSpy(&layouts, &SignalRecorder::recorded);
    QSignalSpy propertySpy(&properties, &SignalRecorder::recorded);

    // The same entries: nothing. A new label: that entry's properties.
    menu_.setEntries(menu_.entries());
    QList<DBusMenuEntry> entries = menu_.entries();
    entries[1].label = QStringLiteral("刷新");
    entries[2].enabled = false;
    menu_.setEntries(entries);
    ASSERT_TRUE(propertySpy.wait(kWaitMilliseconds));
    DBusMenuItemList updated;
    properties.messages[0].arguments().value(0).value<QDBusArgument>() >> updated;
    ASSERT_EQ(updated.size(), 2);
    EXPECT_EQ(updated[0].id, 2);
    EXPECT_EQ(updated[0].properties.value("label").toString(), "刷新");
    EXPECT_EQ(updated[1].properties.value("enabled"), QVariant(false));

    // Enabled again: the property is removed rather than set to its default.
    entries[2].enabled = true;
    menu_.setEntries(entries);
    ASSERT_TRUE(propertySpy.wait(kWaitMilliseconds));
    DBusMenuItemKeysList removed;
    properties.messages[1].arguments().value(1).value<QDBusArgument>() >> removed;
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0].id, 3);
    EXPECT_EQ(removed[0].names, QStringList{"enabled"});

    // Another entry: a new layout, under the root, with the next revision.
    const uint before = menu_.revision();
    entries.append({4, QStringLiteral("新")});
    menu_.setEntries(entries);
    ASSERT_TRUE(layoutSpy.wait(kWaitMilliseconds));
    EXPECT_EQ(layouts.messages[0].arguments(), (QVariantList{before + 1, 0}));
    EXPECT_EQ(layoutOf(call("GetLayout", {0, -1, QStringList()})).children.size(), 4);
    EXPECT_TRUE(layouts.messages.size() == 1 && properties.messages.size() == 2);
}

}  // namespace
}  // namespace pylonix
