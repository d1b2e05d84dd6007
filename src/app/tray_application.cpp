#include "app/tray_application.h"

#include <utility>

namespace pylonix {

TrayApplication::TrayApplication(Options options, QObject* parent)
    : QObject(parent),
      trayItem_(options.bus, options.trayShowsLabels),
      panel_(std::move(options.panelLoader), std::move(options.panelSize)) {
    connect(&trayItem_, &TrayItem::activated, &panel_, &PanelWindow::toggle);
    connect(&trayItem_, &TrayItem::presenceChanged, this, &TrayApplication::presenceChanged);
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

}  // namespace pylonix
