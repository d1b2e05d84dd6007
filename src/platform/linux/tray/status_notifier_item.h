#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

#include "platform/linux/tray/status_notifier_types.h"

class QDBusServiceWatcher;

namespace pylonix::linux_platform {

inline constexpr const char* kStatusNotifierItemInterface = "org.kde.StatusNotifierItem";
inline constexpr const char* kStatusNotifierItemPath = "/StatusNotifierItem";
inline constexpr const char* kStatusNotifierWatcherService = "org.kde.StatusNotifierWatcher";
inline constexpr const char* kStatusNotifierWatcherPath = "/StatusNotifierWatcher";
inline constexpr const char* kStatusNotifierWatcherInterface = "org.kde.StatusNotifierWatcher";

// What the item shows; everything but `id` and `category` may change while it is published.
struct StatusNotifierItemContent {
    QString title;
    QString status = QStringLiteral("Active");
    // Names the icon: a new name is a new icon, whose images the icon drawer draws when a
    // host first asks for them.
    QString iconName;
    StatusNotifierToolTip toolTip;
    QString label;       // XAyatanaLabel, shown beside the icon by the hosts that show labels
    QString labelGuide;  // XAyatanaLabelGuide: the widest label, so the item keeps its width

    bool operator==(const StatusNotifierItemContent&) const = default;
};

class StatusNotifierItemAdaptor;

// A tray item exported over D-Bus as an `org.kde.StatusNotifierItem` at `/StatusNotifierItem`
// under its own bus name, and registered with the `org.kde.StatusNotifierWatcher`: at once,
// and again whenever the watcher's name gets a new owner (a restarted panel). Every change of
// content is announced with the item's own signal (NewIcon, NewToolTip, NewTitle, NewStatus,
// XAyatanaNewLabel) and with `org.freedesktop.DBus.Properties.PropertiesChanged`; the icon's
// images only as invalidated, so that they are drawn only when a host reads them. Talks to
// the bus only asynchronously, so the watcher may live in the same thread. Main-thread only.
class StatusNotifierItem : public QObject {
    Q_OBJECT

  public:
    StatusNotifierItem(QDBusConnection connection, QString id, QString category,
                       QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Claims the bus name, exports the object and registers with the watcher if one runs.
    // False, with the reason in `error`, when the bus refuses the name or the object.
    bool publish(QString* error = nullptr);

    void setContent(StatusNotifierItemContent content);
    // Draws the images of the icon `iconName` names, at the sizes it offers hosts.
    using IconDrawer = std::function<StatusNotifierPixmaps(const QString& iconName)>;
    void setIconDrawer(IconDrawer drawer) { iconDrawer_ = std::move(drawer); }
    const StatusNotifierItemContent& content() const { return content_; }

    QString id() const { return id_; }
    QString category() const { return category_; }
    QString serviceName() const { return serviceName_; }
    // A watcher accepted the item and reports a host that shows it.
    bool isShownByHost() const { return shownByHost_; }

  signals:
    // The host asked for the item's action (a click); `position` is where, in screen pixels.
    void activated(QPoint position);
    void shownByHostChanged(bool shown);

  private slots:
    void askWhetherHostIsRegistered();

  private:
    friend class StatusNotifierItemAdaptor;

    void registerWithWatcher();
    void setShownByHost(bool shown);
    void emitPropertiesChanged(const QVariantMap& changed, const QStringList& invalidated);
    // The current icon's images, drawn on the first request after a change.
    StatusNotifierPixmaps iconPixmaps();

    QDBusConnection connection_;
    QString id_;
    QString category_;
    QString serviceName_;
    StatusNotifierItemContent content_;
    IconDrawer iconDrawer_;
    QString drawnIconName_;
    StatusNotifierPixmaps drawnIcon_;
    StatusNotifierItemAdaptor* adaptor_ = nullptr;  // owned by this object, as QtDBus wants
    QDBusServiceWatcher* watcherOwner_ = nullptr;
    bool published_ = false;
    bool shownByHost_ = false;
};

}  // namespace pylonix::linux_platform
