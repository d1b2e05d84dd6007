#include "app/tray_application.h"

#include <utility>

namespace pylonix {

TrayApplication::TrayApplication(Options options, QObject* parent)
    : QObject(parent),
      trayItem_(options.bus, options.trayShowsLabels),
      panel_(std::move(options.panelLoader), std::move(options.panelSize)),
      refreshNow_(std::move(options.refreshNow)),
      quit_(std::move(options.quit)) {
    connect(&trayItem_, &TrayItem::activated, &panel_, &PanelWindow::toggle);
    connect(&trayItem_, &TrayItem::presenceChanged, this, &TrayApplication::presenceChanged);
    connect(&trayItem_, &TrayItem::menuActionRequested, this,
            &TrayApplication::menuActionRequested);
    if (options.panelOpened) connect(&panel_, &PanelWindow::opened, this, options.panelOpened);
    if (options.panelClosed) connect(&panel_, &PanelWindow::closed, this, options.panelClosed);
    presenceChanged(trayItem_.presence());
}

void TrayApplication::presenceChanged(TrayItem::Presence presence) {
    if (presence == TrayItem::Presence::none) {
        if (!notice_.isVisible()) notice_.announce();
    } else if (presence != TrayItem::Presence::pending) {
        notice_.hide();
    }
}

void TrayApplication::menuActionRequested(TrayMenuAction action) {
    switch (action) {
        case TrayMenuAction::openPanel:
            panel_.open(QRect());
            return;
        case TrayMenuAction::refreshNow:
            if (refreshNow_) refreshNow_();
            return;
        case TrayMenuAction::quit:
            if (quit_) quit_();
            return;
    }
}

}  // namespace pylonix
