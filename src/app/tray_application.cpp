#include "app/tray_application.h"

#include <utility>

namespace pylonix {
namespace {

constexpr int kNoticeDelayMilliseconds = 4000;

}  // namespace

TrayApplication::TrayApplication(Options options, QObject* parent)
    : QObject(parent),
      trayItem_(options.bus, options.trayShowsLabels),
      panel_(std::move(options.panelLoader), std::move(options.panelSize)),
      refreshNow_(std::move(options.refreshNow)),
      quit_(std::move(options.quit)) {
    connect(&trayItem_, &TrayItem::activated, &panel_, &PanelWindow::toggle);
    connect(&trayItem_, &TrayItem::openRequested, &panel_, &PanelWindow::open);
    noticeDelay_.setSingleShot(true);
    noticeDelay_.setInterval(kNoticeDelayMilliseconds);
    connect(&noticeDelay_, &QTimer::timeout, this, [this] {
        if (trayItem_.presence() == TrayItem::Presence::none && !notice_.isVisible()) {
            notice_.announce();
        }
    });
    connect(&trayItem_, &TrayItem::presenceChanged, this, &TrayApplication::presenceChanged);
    connect(&trayItem_, &TrayItem::menuActionRequested, this,
            &TrayApplication::menuActionRequested);
    if (options.panelOpened) connect(&panel_, &PanelWindow::opened, this, options.panelOpened);
    if (options.panelClosed) connect(&panel_, &PanelWindow::closed, this, options.panelClosed);
    presenceChanged(trayItem_.presence());
}

void TrayApplication::presenceChanged(TrayItem::Presence presence) {
    // A tray that goes away comes back within a second or two when its panel restarts:
    // the notice waits for it.
    if (presence == TrayItem::Presence::none) {
        if (!notice_.isVisible() && !noticeDelay_.isActive()) noticeDelay_.start();
    } else if (presence != TrayItem::Presence::pending) {
        noticeDelay_.stop();
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
