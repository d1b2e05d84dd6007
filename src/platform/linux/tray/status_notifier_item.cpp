#include "platform/linux/tray/status_notifier_item.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>
#include <atomic>
#include <utility>

#include "status_notifier_item_adaptor.h"

namespace pylonix::linux_platform {

namespace {

// How long after a registration everything is announced again.
constexpr int kAnnounceAgainMilliseconds = 1000;
// A host that drops the item at once again is not answered more often than this.
constexpr qint64 kReregisterMilliseconds = 2000;

QString nextServiceName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

// Whether a watcher's name for an item, `reported`, is the item under the bus name `name`.
// Watchers name an item by its bus name alone, or followed by its object path ("/path" as KDE's
// does, "@/path" as GNOME's extension does). Any other name that merely begins the same way is
// another item: ":1.4" is not ":1.42", nor "…-7-1" "…-7-10".
bool namesItem(const QString& reported, const QString& name) {
    if (!reported.startsWith(name)) return false;
    return reported.size() == name.size() || reported.at(name.size()) == QLatin1Char('/') ||
           reported.at(name.size()) == QLatin1Char('@');
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(QDBusConnection connection, QString id, QString category,
                                       QObject* parent)
    : QObject(parent),
      connection_(std::move(connection)),
      id_(std::move(id)),
      category_(std::move(category)),
      serviceName_(nextServiceName()) {
    registerStatusNotifierTypes();
    new StatusNotifierItemAdaptor(this);  // owned by this object, as QtDBus wants
}

QDBusObjectPath StatusNotifierItem::menu() const {
    return QDBusObjectPath(menuPath_.isEmpty() ? QStringLiteral("/NO_DBUSMENU") : menuPath_);
}

StatusNotifierItem::~StatusNotifierItem() {
    if (!published_) return;
    connection_.unregisterObject(QString::fromLatin1(kStatusNotifierItemPath));
    connection_.unregisterService(serviceName_);
}

bool StatusNotifierItem::publish(QString* error) {
    if (published_) return true;
    if (!connection_.isConnected()) {
        if (error) *error = QStringLiteral("no session bus: ") + connection_.lastError().message();
        return false;
    }
    if (!connection_.registerService(serviceName_)) {
        if (error)
            *error = QStringLiteral("bus name refused: ") + connection_.lastError().message();
        return false;
    }
    if (!connection_.registerObject(QString::fromLatin1(kStatusNotifierItemPath), this,
                                    QDBusConnection::ExportAdaptors)) {
        connection_.unregisterService(serviceName_);
        if (error) *error = QStringLiteral("object path taken: ") + kStatusNotifierItemPath;
        return false;
    }
    published_ = true;

    QDBusConnectionInterface* const daemon = connection_.interface();
    watcherPresent_ = daemon != nullptr && daemon->isServiceRegistered(
                                               QString::fromLatin1(kStatusNotifierWatcherService));
    watcherOwner_ =
        new QDBusServiceWatcher(QString::fromLatin1(kStatusNotifierWatcherService), connection_,
                                QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcherOwner_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                watcherPresent_ = !newOwner.isEmpty();
                setShownByHost(false);
                if (!newOwner.isEmpty()) registerWithWatcher();
            });
    connection_.connect(QString::fromLatin1(kStatusNotifierWatcherService),
                        QString::fromLatin1(kStatusNotifierWatcherPath),
                        QString::fromLatin1(kStatusNotifierWatcherInterface),
                        QStringLiteral("StatusNotifierHostRegistered"), this,
                        SLOT(askWhetherHostIsRegistered()));
    // A host that drops the item (it happens to GNOME's extension on restarts) gets it again.
    connection_.connect(QString::fromLatin1(kStatusNotifierWatcherService),
                        QString::fromLatin1(kStatusNotifierWatcherPath),
                        QString::fromLatin1(kStatusNotifierWatcherInterface),
                        QStringLiteral("StatusNotifierItemUnregistered"), this,
                        SLOT(itemUnregistered(QString)));
    registerWithWatcher();
    return true;
}

void StatusNotifierItem::registerWithWatcher() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kStatusNotifierWatcherService),
                                       QString::fromLatin1(kStatusNotifierWatcherPath),
                                       QString::fromLatin1(kStatusNotifierWatcherInterface),
                                       QStringLiteral("RegisterStatusNotifierItem"));
    // Registered under the connection's unique name, as Qt's and other toolkits' items are: a
    // watcher that is given the well-known name watches that name on its own as well, and
    // GNOME's extension then races itself and may lose the item's properties during a restart
    // ("Argument two may not be null") and show it empty or not at all.
    call << connection_.baseService();
    auto* pending = new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            setShownByHost(false);  // no watcher (yet): its arrival registers the item
            return;
        }
        askWhetherHostIsRegistered();
        // Once the host has read the item, everything again: some hosts miss what they read
        // while setting up.
        QTimer::singleShot(kAnnounceAgainMilliseconds, this, &StatusNotifierItem::announceAll);
    });
}

void StatusNotifierItem::itemUnregistered(const QString& service) {
    if (!namesItem(service, serviceName_) && !namesItem(service, connection_.baseService())) {
        return;
    }
    if (!reregistration_.isValid() || reregistration_.elapsed() > kReregisterMilliseconds) {
        reregistration_.start();
        registerWithWatcher();
    }
}

void StatusNotifierItem::announceAll() {
    emit NewTitle();
    emit NewIcon();
    emit NewToolTip();
    emit NewStatus(content_.status);
    emit XAyatanaNewLabel(content_.label, content_.labelGuide);
}

void StatusNotifierItem::askWhetherHostIsRegistered() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kStatusNotifierWatcherService),
        QString::fromLatin1(kStatusNotifierWatcherPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QString::fromLatin1(kStatusNotifierWatcherInterface)
         << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* pending = new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        setShownByHost(!reply.isError() && reply.value().variant().toBool());
    });
}

void StatusNotifierItem::setShownByHost(bool shown) {
    if (shown == shownByHost_) return;
    shownByHost_ = shown;
    emit shownByHostChanged(shown);
}

void StatusNotifierItem::setContent(StatusNotifierItemContent content) {
    const StatusNotifierItemContent old = std::exchange(content_, std::move(content));
    if (!published_) return;

    QVariantMap changed;
    if (content_.title != old.title) {
        changed.insert(QStringLiteral("Title"), content_.title);
        emit NewTitle();
    }
    QStringList invalidated;
    if (content_.iconName != old.iconName || content_.iconThemePath != old.iconThemePath) {
        changed.insert(QStringLiteral("IconThemePath"), content_.iconThemePath);
        changed.insert(QStringLiteral("IconName"), iconName());
        invalidated.append(QStringLiteral("IconPixmap"));
        emit NewIcon();
    }
    if (content_.accessibleDescription != old.accessibleDescription) {
        changed.insert(QStringLiteral("IconAccessibleDesc"), content_.accessibleDescription);
        changed.insert(QStringLiteral("AttentionAccessibleDesc"), content_.accessibleDescription);
    }
    if (content_.toolTip != old.toolTip) {
        changed.insert(QStringLiteral("ToolTip"), QVariant::fromValue(content_.toolTip));
        emit NewToolTip();
    }
    if (content_.status != old.status) {
        changed.insert(QStringLiteral("Status"), content_.status);
        emit NewStatus(content_.status);
    }
    if (content_.label != old.label || content_.labelGuide != old.labelGuide) {
        changed.insert(QStringLiteral("XAyatanaLabel"), content_.label);
        changed.insert(QStringLiteral("XAyatanaLabelGuide"), content_.labelGuide);
        emit XAyatanaNewLabel(content_.label, content_.labelGuide);
    }
    if (!changed.isEmpty() || !invalidated.isEmpty()) emitPropertiesChanged(changed, invalidated);
}

StatusNotifierPixmaps StatusNotifierItem::iconPixmaps() const {
    if (drawnIconName_ != content_.iconName || drawnIcon_.isEmpty()) {
        drawnIcon_ = iconDrawer_ ? iconDrawer_(content_.iconName) : StatusNotifierPixmaps();
        drawnIconName_ = content_.iconName;
    }
    return drawnIcon_;
}

void StatusNotifierItem::emitPropertiesChanged(const QVariantMap& changed,
                                               const QStringList& invalidated) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kStatusNotifierItemPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kStatusNotifierItemInterface) << changed << invalidated;
    connection_.send(signal);
}

}  // namespace pylonix::linux_platform
