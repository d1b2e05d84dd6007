#include "platform/linux/tray/status_notifier_item.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <atomic>
#include <utility>

namespace pylonix::linux_platform {

// The D-Bus face of the item: its properties, methods and signals under the names the
// protocol gives them.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ emptyText)
    Q_PROPERTY(QString IconName READ emptyText)
    Q_PROPERTY(pylonix::linux_platform::StatusNotifierPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyText)
    Q_PROPERTY(pylonix::linux_platform::StatusNotifierPixmaps OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyText)
    Q_PROPERTY(pylonix::linux_platform::StatusNotifierPixmaps AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyText)
    Q_PROPERTY(pylonix::linux_platform::StatusNotifierToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)
    Q_PROPERTY(uint XAyatanaOrderingIndex READ orderingIndex)

  public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item)
        : QDBusAbstractAdaptor(item), item_(item) {
        setAutoRelaySignals(false);
    }

    QString category() const { return item_->category_; }
    QString id() const { return item_->id_; }
    QString title() const { return item_->content_.title; }
    QString status() const { return item_->content_.status; }
    int windowId() const { return 0; }
    QString emptyText() const { return {}; }
    StatusNotifierPixmaps iconPixmap() const { return item_->iconPixmaps(); }
    StatusNotifierPixmaps noPixmaps() const { return {}; }
    StatusNotifierToolTip toolTip() const { return item_->content_.toolTip; }
    bool itemIsMenu() const { return false; }
    // The item has no menu of its own: its settings live in the panel that a click opens.
    QDBusObjectPath menu() const { return QDBusObjectPath(QStringLiteral("/NO_DBUSMENU")); }
    QString label() const { return item_->content_.label; }
    QString labelGuide() const { return item_->content_.labelGuide; }
    uint orderingIndex() const { return 0; }

  public slots:
    void Activate(int x, int y) { emit item_->activated(QPoint(x, y)); }
    // The panel holds every setting, quitting included, so the secondary button opens it too.
    void ContextMenu(int x, int y) { emit item_->activated(QPoint(x, y)); }
    void SecondaryActivate(int, int) {}
    void Scroll(int, const QString&) {}
    void ProvideXdgActivationToken(const QString&) {}

  signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    void XAyatanaNewLabel(const QString& label, const QString& guide);

  private:
    StatusNotifierItem* item_;
};

namespace {

QString nextServiceName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
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
    adaptor_ = new StatusNotifierItemAdaptor(this);
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

    watcherOwner_ =
        new QDBusServiceWatcher(QString::fromLatin1(kStatusNotifierWatcherService), connection_,
                                QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcherOwner_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                setShownByHost(false);
                if (!newOwner.isEmpty()) registerWithWatcher();
            });
    connection_.connect(QString::fromLatin1(kStatusNotifierWatcherService),
                        QString::fromLatin1(kStatusNotifierWatcherPath),
                        QString::fromLatin1(kStatusNotifierWatcherInterface),
                        QStringLiteral("StatusNotifierHostRegistered"), this,
                        SLOT(askWhetherHostIsRegistered()));
    registerWithWatcher();
    return true;
}

void StatusNotifierItem::registerWithWatcher() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kStatusNotifierWatcherService),
                                       QString::fromLatin1(kStatusNotifierWatcherPath),
                                       QString::fromLatin1(kStatusNotifierWatcherInterface),
                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << serviceName_;
    auto* pending = new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            setShownByHost(false);  // no watcher (yet): its arrival registers the item
            return;
        }
        askWhetherHostIsRegistered();
    });
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
        emit adaptor_->NewTitle();
    }
    QStringList invalidated;
    if (content_.iconName != old.iconName) {
        invalidated.append(QStringLiteral("IconPixmap"));
        emit adaptor_->NewIcon();
    }
    if (content_.toolTip != old.toolTip) {
        changed.insert(QStringLiteral("ToolTip"), QVariant::fromValue(content_.toolTip));
        emit adaptor_->NewToolTip();
    }
    if (content_.status != old.status) {
        changed.insert(QStringLiteral("Status"), content_.status);
        emit adaptor_->NewStatus(content_.status);
    }
    if (content_.label != old.label || content_.labelGuide != old.labelGuide) {
        changed.insert(QStringLiteral("XAyatanaLabel"), content_.label);
        changed.insert(QStringLiteral("XAyatanaLabelGuide"), content_.labelGuide);
        emit adaptor_->XAyatanaNewLabel(content_.label, content_.labelGuide);
    }
    if (!changed.isEmpty() || !invalidated.isEmpty()) emitPropertiesChanged(changed, invalidated);
}

StatusNotifierPixmaps StatusNotifierItem::iconPixmaps() {
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

#include "status_notifier_item.moc"
