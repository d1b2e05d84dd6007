#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

#include "platform/linux/tray/status_notifier_types.h"

class QDBusServiceWatcher;
class StatusNotifierItemAdaptor;

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
    // Where hosts that load icons by name find `iconName`: an icon theme folder. Empty: the
    // name is not offered, only the images.
    QString iconThemePath;
    QString accessibleDescription;  // IconAccessibleDesc and AttentionAccessibleDesc
    QString label;       // XAyatanaLabel, shown beside the icon by the hosts that show labels
    QString labelGuide;  // XAyatanaLabelGuide: the widest label, so the item keeps its width

    bool operator==(const StatusNotifierItemContent&) const = default;
};

// A tray item exported over D-Bus as an `org.kde.StatusNotifierItem` at `/StatusNotifierItem`
// under its own bus name (the D-Bus members are generated from the interface's XML and read the
// properties and call the methods below under the protocol's names), and registered with the
// `org.kde.StatusNotifierWatcher` by its connection's unique name: at once, and again whenever
// the watcher's name gets a new owner (a restarted panel). Every change of content is announced
// with the item's own signal (NewIcon, NewToolTip, NewTitle, NewStatus, XAyatanaNewLabel) and
// with `org.freedesktop.DBus.Properties.PropertiesChanged`; the icon's images only as
// invalidated, so that they are drawn only when a host reads them. Talks to the bus only
// asynchronously, so the watcher may live in the same thread. Main-thread only.
class StatusNotifierItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(pylonix::linux_platform::StatusNotifierPixmaps IconPixmap READ iconPixmaps)
    Q_PROPERTY(QString IconAccessibleDesc READ accessibleDescription)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(pylonix::linux_platform::StatusNotifierPixmaps OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(pylonix::linux_platform::StatusNotifierPixmaps AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionAccessibleDesc READ accessibleDescription)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(pylonix::linux_platform::StatusNotifierToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)
    Q_PROPERTY(uint XAyatanaOrderingIndex READ orderingIndex)

  public:
    StatusNotifierItem(QDBusConnection connection, QString id, QString category,
                       QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // The menu hosts show for the item, exported at `path` on the same connection; set
    // before publishing. Without one the item names no menu ("/NO_DBUSMENU").
    void setMenuPath(const QString& path) { menuPath_ = path; }

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
    bool isPublished() const { return published_; }
    // Whether a StatusNotifierWatcher owns its name on the bus, followed from its owner's
    // changes once published.
    bool hasWatcher() const { return watcherPresent_; }
    // A watcher accepted the item and reports a host that shows it.
    bool isShownByHost() const { return shownByHost_; }

  signals:
    // The host asked for the item's action (a click); `position` is where, in screen pixels
    // as the host says (null when it does not).
    void activated(QPoint position);
    // The host asked for the item's secondary action (a middle click).
    void secondaryActivated(QPoint position);
    void shownByHostChanged(bool shown);

    // Relayed to the bus by the adaptor.
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    void XAyatanaNewLabel(const QString& label, const QString& guide);

  private slots:
    void askWhetherHostIsRegistered();
    void itemUnregistered(const QString& service);

  private:
    friend class ::StatusNotifierItemAdaptor;

    QString title() const { return content_.title; }
    QString status() const { return content_.status; }
    int windowId() const { return 0; }
    QString iconThemePath() const { return content_.iconThemePath; }
    QString iconName() const {
        return content_.iconThemePath.isEmpty() ? QString() : content_.iconName;
    }
    QString accessibleDescription() const { return content_.accessibleDescription; }
    QString noName() const { return {}; }
    StatusNotifierPixmaps noPixmaps() const { return {}; }
    StatusNotifierToolTip toolTip() const { return content_.toolTip; }
    // Hosts that honour it send Activate for a left click and show the menu for a right one.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const;
    QString label() const { return content_.label; }
    QString labelGuide() const { return content_.labelGuide; }
    uint orderingIndex() const { return 0; }

    // The protocol's methods, called by the adaptor.
    void Activate(int x, int y) { emit activated(QPoint(x, y)); }
    void SecondaryActivate(int x, int y) { emit secondaryActivated(QPoint(x, y)); }
    void XAyatanaSecondaryActivate(uint) { emit secondaryActivated(QPoint()); }
    // Hosts show the item's menu themselves.
    void ContextMenu(int, int) {}
    void Scroll(int, const QString&) {}
    void ProvideXdgActivationToken(const QString&) {}

    void registerWithWatcher();
    void announceAll();
    void setShownByHost(bool shown);
    void emitPropertiesChanged(const QVariantMap& changed, const QStringList& invalidated);
    // The current icon's images, drawn on the first request after a change.
    StatusNotifierPixmaps iconPixmaps() const;

    QDBusConnection connection_;
    QString id_;
    QString category_;
    QString serviceName_;
    StatusNotifierItemContent content_;
    IconDrawer iconDrawer_;
    mutable QString drawnIconName_;
    mutable StatusNotifierPixmaps drawnIcon_;
    QString menuPath_;
    QDBusServiceWatcher* watcherOwner_ = nullptr;
    bool published_ = false;
    bool watcherPresent_ = false;
    bool shownByHost_ = false;
    QElapsedTimer reregistration_;
};

}  // namespace pylonix::linux_platform
