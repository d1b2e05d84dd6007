#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>

#include "platform/linux/tray/dbus_menu_types.h"

class DBusMenuAdaptor;

namespace pylonix::linux_platform {

// One entry of a flat menu. Ids are above 0 (0 is the menu itself) and unique.
struct DBusMenuEntry {
    int id = 0;
    QString label;
    bool enabled = true;

    bool operator==(const DBusMenuEntry&) const = default;
};

// A flat menu exported over D-Bus as `com.canonical.dbusmenu`, the menu a tray host shows
// for a StatusNotifierItem. The D-Bus members are generated from the interface's XML and call
// the methods below under the protocol's names. A new set of entries announces a new layout
// (LayoutUpdated); entries that only change their label or state announce just that
// (ItemsPropertiesUpdated). A click on an entry is reported as `entryActivated`.
// Main-thread only.
class DBusMenuExporter : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

  public:
    explicit DBusMenuExporter(QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    // Exports the menu at `path` on `connection`; false when the path is taken.
    bool exportAt(QDBusConnection connection, const QString& path);
    void setEntries(QList<DBusMenuEntry> entries);
    const QList<DBusMenuEntry>& entries() const { return entries_; }
    uint revision() const { return revision_; }

  signals:
    void entryActivated(int id);

    // Relayed to the bus by the adaptor.
    void LayoutUpdated(uint revision, int parent);
    void ItemsPropertiesUpdated(pylonix::linux_platform::DBusMenuItemList updatedProps,
                                pylonix::linux_platform::DBusMenuItemKeysList removedProps);
    void ItemActivationRequested(int id, uint timestamp);

  private:
    friend class ::DBusMenuAdaptor;

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

    // The protocol's methods, called by the adaptor.
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   DBusMenuLayoutItem& layout);
    DBusMenuItemList GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const DBusMenuEventList& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

    bool knows(int id) const;
    QVariantMap properties(int id, const QStringList& names) const;
    bool handleEvent(int id, const QString& eventId);
    void failUnknown(int id);

    QList<DBusMenuEntry> entries_;
    uint revision_ = 1;
};

}  // namespace pylonix::linux_platform
