#pragma once

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace pylonix::linux_platform {

// The records of the `com.canonical.dbusmenu` interface, as QtDBus marshals them.

// One entry with its subtree (D-Bus `(ia{sv}av)`; each child is a variant holding the same).
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

// One entry's properties (D-Bus `(ia{sv})`).
struct DBusMenuItem {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemList = QList<DBusMenuItem>;

// The names of properties an entry no longer has (D-Bus `(ias)`).
struct DBusMenuItemKeys {
    int id = 0;
    QStringList names;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;

// One event of `EventGroup` (D-Bus `(isvu)`).
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

// Makes the records known to QtDBus; safe to call more than once.
void registerDBusMenuTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

}  // namespace pylonix::linux_platform

Q_DECLARE_METATYPE(pylonix::linux_platform::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(pylonix::linux_platform::DBusMenuItem)
Q_DECLARE_METATYPE(pylonix::linux_platform::DBusMenuItemKeys)
Q_DECLARE_METATYPE(pylonix::linux_platform::DBusMenuEvent)
