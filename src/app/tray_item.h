#pragma once

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

#include "app/tray_icon_painter.h"
#include "ui/tray_menu.h"

class QSystemTrayIcon;
class QTimer;

namespace pylonix {

class TrayIconTheme;

namespace linux_platform {
class DBusMenuExporter;
class StatusNotifierItem;
}  // namespace linux_platform

// What the tray item shows, as plain values: the menu-bar label with its symbols already
// turned into Material Icons ligatures.
struct TrayItemValues {
    QString symbolGlyph;
    QString valueText;   // "12.3 W", "— W"
    QString iconFigure;  // "12", "9.8", "—": what the icon shows where no label is shown
    bool showsUpdateBadge = false;
    QString badgeGlyph;
    QString accessibilityLabel;
    QString tooltip;

    bool operator==(const TrayItemValues&) const = default;
};

// The program's presence in the desktop's tray, wherever the desktop offers one: a
// StatusNotifierItem when a watcher with a host runs on the session bus; otherwise, with no
// watcher at all, an XEmbed tray icon when an X11 tray exists; otherwise none, until one of the
// two appears (the watcher is watched, the X11 tray polled every two seconds only while there
// is none). A host that stops showing the item gets a few seconds to show it again first.
class TrayItem : public QObject {
    Q_OBJECT

  public:
    enum class Presence { pending, statusNotifier, xembed, none };

    // `showsLabels` overrides what the StatusNotifierItem host is taken to show (tests and
    // hosts the detection does not know); absent, the host's process and the desktop decide.
    TrayItem(QDBusConnection bus, std::optional<bool> showsLabels, QObject* parent = nullptr);
    ~TrayItem() override;

    void show(const TrayItemValues& values);
    Presence presence() const { return presence_; }
    // Whether the icon carries the figure itself (no label beside it).
    bool iconCarriesFigure() const;

  signals:
    // A click on the item, which opens the panel or closes it. `anchor` is the item's place
    // on the screen, as exact as the tray tells it (a point from StatusNotifierItem hosts, or
    // the pointer's position where the host's point cannot be one); null when unknown. Two
    // within a double-click interval count as one.
    void activated(QRect anchor);
    // A middle click, which opens the panel.
    void openRequested(QRect anchor);
    void presenceChanged(pylonix::TrayItem::Presence presence);
    // An entry of the item's menu was chosen.
    void menuActionRequested(pylonix::TrayMenuAction action);

  private:
    std::unique_ptr<linux_platform::DBusMenuExporter> makeMenu();
    void publishStatusNotifier();
    void hostActivated(QPoint position);
    QRect anchorAt(QPoint reported) const;
    const QList<QImage>& shownImages();
    void choosePresence();
    // Whether the item is published and a StatusNotifierWatcher owns its name on the bus.
    bool watcherOnBus() const;
    // Tries no other tray for `milliseconds`, unless the watcher shows the item sooner.
    void waitForWatcher(int milliseconds);
    void setPresence(Presence presence);
    void decideLabels();
    void refresh();
    TrayIconContent iconContent(bool carriesFigure) const;

    QDBusConnection bus_;
    std::optional<bool> labelsOverride_;
    bool hostShowsLabels_ = false;
    // A watcher exists and has not yet shown the item, or its host stopped showing it and may
    // come back (a restart): no other tray is tried until watcherWait_ times out.
    bool waitingForWatcher_ = false;
    QTimer* watcherWait_ = nullptr;
    std::unique_ptr<linux_platform::DBusMenuExporter> menu_;
    std::unique_ptr<linux_platform::StatusNotifierItem> statusNotifier_;
    std::unique_ptr<QSystemTrayIcon> xembed_;
    QTimer* trayPoll_ = nullptr;
    TrayItemValues values_;
    TrayIconContent shownIcon_;
    QList<QImage> shownImages_;  // shownIcon_ at every size, drawn on first use
    std::unique_ptr<TrayIconTheme> iconTheme_;
    QElapsedTimer sinceActivated_;
    std::shared_ptr<TrayIconPainter> painter_ = std::make_shared<TrayIconPainter>();
    Presence presence_ = Presence::pending;
};

}  // namespace pylonix
