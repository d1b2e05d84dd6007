#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "app/no_tray_notice.h"
#include "app/panel_window.h"
#include "app/tray_item.h"

namespace pylonix {

// The program's user interface on a Linux desktop: the tray item, the panel it opens and the
// notice shown once no tray has existed for a few seconds. Opening the panel and closing it call
// the given hooks (the panel's work starts and stops with them).
class TrayApplication : public QObject {
    Q_OBJECT

  public:
    struct Options {
        PanelWindow::SceneLoader panelLoader;
        PanelWindow::SizeRule panelSize;
        std::function<void()> panelOpened;
        std::function<void()> panelClosed;
        std::function<void()> refreshNow;  // the tray menu's entries
        std::function<void()> quit;
        std::optional<bool> trayShowsLabels;  // absent: decided by the tray host
        QDBusConnection bus = QDBusConnection::sessionBus();
    };

    explicit TrayApplication(Options options, QObject* parent = nullptr);

    void show(const TrayItemValues& values) { trayItem_.show(values); }

    TrayItem& trayItem() { return trayItem_; }
    PanelWindow& panel() { return panel_; }

  private:
    void presenceChanged(TrayItem::Presence presence);
    void menuActionRequested(TrayMenuAction action);

    TrayItem trayItem_;
    PanelWindow panel_;
    NoTrayNotice notice_;
    QTimer noticeDelay_;  // the notice appears only after the tray stayed away this long
    std::function<void()> refreshNow_;
    std::function<void()> quit_;
};

}  // namespace pylonix
