#include "platform/linux/tray/dbus_menu_exporter.h"

#include <QDBusMessage>
#include <algorithm>
#include <utility>

#include "dbus_menu_adaptor.h"

namespace pylonix::linux_platform {
namespace {

constexpr int kRootId = 0;

// A label as the protocol reads it: an underscore marks the access key, so a real one is
// written twice.
QString protocolLabel(QString label) {
    return label.replace(QLatin1Char('_'), QStringLiteral("__"));
}

QVariantMap only(const QVariantMap& properties, const QStringList& names) {
    if (names.isEmpty()) return properties;
    QVariantMap chosen;
    for (const QString& name : names) {
        if (properties.contains(name)) chosen.insert(name, properties.value(name));
    }
    return chosen;
}

}  // namespace

DBusMenuExporter::DBusMenuExporter(QObject* parent) : QObject(parent) {
    registerDBusMenuTypes();
    new DBusMenuAdaptor(this);
}

DBusMenuExporter::~DBusMenuExporter() = default;

bool DBusMenuExporter::exportAt(QDBusConnection connection, const QString& path) {
    return connection.registerObject(path, this, QDBusConnection::ExportAdaptors);
}

void DBusMenuExporter::setEntries(QList<DBusMenuEntry> entries) {
    if (entries == entries_) return;
    const auto idsOf = [](const QList<DBusMenuEntry>& list) {
        QList<int> ids;
        for (const DBusMenuEntry& entry : list) ids.append(entry.id);
        return ids;
    };
    const bool sameLayout = idsOf(entries) == idsOf(entries_);
    const QList<DBusMenuEntry> old = std::exchange(entries_, std::move(entries));
    if (!sameLayout) {
        emit LayoutUpdated(++revision_, kRootId);
        return;
    }
    DBusMenuItemList updated;
    DBusMenuItemKeysList removed;
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i] == old[i]) continue;
        const int id = entries_[i].id;
        updated.append({id, properties(id, {})});
        // "enabled" is left out while true, its default.
        if (entries_[i].enabled && !old[i].enabled)
            removed.append({id, {QStringLiteral("enabled")}});
    }
    emit ItemsPropertiesUpdated(updated, removed);
}

bool DBusMenuExporter::knows(int id) const {
    return id == kRootId ||
           std::any_of(entries_.begin(), entries_.end(),
                       [id](const DBusMenuEntry& entry) { return entry.id == id; });
}

QVariantMap DBusMenuExporter::properties(int id, const QStringList& names) const {
    QVariantMap all;
    if (id == kRootId) {
        all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else {
        for (const DBusMenuEntry& entry : entries_) {
            if (entry.id != id) continue;
            all.insert(QStringLiteral("label"), protocolLabel(entry.label));
            if (!entry.enabled) all.insert(QStringLiteral("enabled"), false);
        }
    }
    return only(all, names);
}

void DBusMenuExporter::failUnknown(int id) {
    if (calledFromDBus()) {
        sendErrorReply(QDBusError::InvalidArgs,
                       QStringLiteral("no menu entry with the id %1").arg(id));
    }
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 DBusMenuLayoutItem& layout) {
    if (!knows(parentId)) {
        failUnknown(parentId);
        return revision_;
    }
    layout = {parentId, properties(parentId, propertyNames), {}};
    if (parentId == kRootId && recursionDepth != 0) {
        for (const DBusMenuEntry& entry : entries_) {
            layout.children.append({entry.id, properties(entry.id, propertyNames), {}});
        }
    }
    return revision_;
}

DBusMenuItemList DBusMenuExporter::GetGroupProperties(const QList<int>& ids,
                                                      const QStringList& propertyNames) {
    DBusMenuItemList items;
    // Unknown ids are left out, as the protocol asks.
    for (const int id : ids) {
        if (knows(id)) items.append({id, properties(id, propertyNames)});
    }
    return items;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
    const QVariantMap found = properties(id, {name});
    if (!knows(id) || found.isEmpty()) {
        if (calledFromDBus()) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("no property %1 on the menu entry %2").arg(name).arg(id));
        }
        return QDBusVariant(QString());
    }
    return QDBusVariant(found.first());
}

bool DBusMenuExporter::handleEvent(int id, const QString& eventId) {
    if (!knows(id)) return false;
    // "opened", "closed" and "hovered" need nothing; a click on the menu itself neither.
    if (eventId == QLatin1String("clicked") && id != kRootId) {
        for (const DBusMenuEntry& entry : entries_) {
            if (entry.id == id && entry.enabled) emit entryActivated(id);
        }
    }
    return true;
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (!handleEvent(id, eventId)) failUnknown(id);
}

QList<int> DBusMenuExporter::EventGroup(const DBusMenuEventList& events) {
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events) {
        if (!handleEvent(event.id, event.eventId)) idErrors.append(event.id);
    }
    // The protocol fails the call only when every event named an unknown entry.
    if (!events.isEmpty() && idErrors.size() == events.size()) failUnknown(idErrors.first());
    return idErrors;
}

bool DBusMenuExporter::AboutToShow(int id) {
    if (!knows(id)) failUnknown(id);
    return false;  // the layout is always current
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (const int id : ids) {
        if (!knows(id)) idErrors.append(id);
    }
    return {};
}

}  // namespace pylonix::linux_platform
