#pragma once

#include "app/tray_item.h"
#include "power/power_snapshot.h"

namespace pylonix {

// The tray item's values for one snapshot: the menu-bar label with its symbols as glyphs.
TrayItemValues trayItemValues(const PowerSnapshot& snapshot, bool updateAvailable);

}  // namespace pylonix
