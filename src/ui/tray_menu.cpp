#include "ui/tray_menu.h"

#include <array>

#include "ui/power_settings_menu.h"

namespace pylonix {

std::span<const TrayMenuEntry> trayMenuEntries() {
    static constexpr std::array kEntries = {
        TrayMenuEntry{TrayMenuAction::openPanel, "打开 Pylonix"},
        TrayMenuEntry{TrayMenuAction::refreshNow, kRefreshNowText},
        TrayMenuEntry{TrayMenuAction::quit, kQuitText},
    };
    return kEntries;
}

}  // namespace pylonix
