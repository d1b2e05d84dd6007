#pragma once

#include <span>
#include <string_view>

namespace pylonix {

// The tray item's own menu, which hosts show on a right click: open the panel (what a left
// click does), refresh now and quit, in this order. The last two say what the settings menu
// says.
enum class TrayMenuAction { openPanel = 1, refreshNow, quit };

struct TrayMenuEntry {
    TrayMenuAction action;
    std::string_view label;
};

std::span<const TrayMenuEntry> trayMenuEntries();

}  // namespace pylonix
