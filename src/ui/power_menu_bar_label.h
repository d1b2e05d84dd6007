#pragma once

#include <string>

#include "power/power_snapshot.h"

namespace pylonix {

// What the tray item shows for one snapshot: the state symbol, the watts with their unit, the
// update badge, and the one accessibility label the whole row reads as.
struct PowerMenuBarLabel {
    std::string symbol;
    std::string valueText;   // "12.3 W", or "— W" without an estimate
    std::string iconFigure;  // the short figure for an icon without a label ("12", "9.8", "—")
    bool showsUpdateBadge = false;
    std::string badgeSymbol;  // the badge's symbol, drawn only when showsUpdateBadge
    std::string accessibilityLabel;
    std::string tooltip;

    bool operator==(const PowerMenuBarLabel&) const = default;
};

PowerMenuBarLabel makePowerMenuBarLabel(const PowerSnapshot& snapshot, bool updateAvailable);

}  // namespace pylonix
