#pragma once

#include <optional>
#include <string>

#include "apppower/power_balance_snapshot.h"
#include "power/power_snapshot.h"
#include "ui/ui_color.h"
#include "ui/widgets.h"

namespace pylonix {

// The whole-machine power card: the headline number and the line under it, tinted by state.
struct PowerCard {
    std::string title;
    std::string caption;
    std::string valueText;  // "12.35", or "—"; no unit
    std::string unit;
    std::string note;
    // The figure the headline shows; drives a numeric transition of the value.
    std::optional<double> shownWatts;
    UiColor tint = UiColor::primary;
    std::string valueIdentifier;

    bool operator==(const PowerCard&) const = default;
};

PowerCard makePowerCard(const PowerSnapshot& snapshot, const PowerBalanceSnapshot& alignedBalance);

// The reason why there is no figure at all, under the tiles; absent when there is a figure or
// when the error notice stands instead of the tiles.
std::optional<InlineNotice> makeUnavailableNotice(const PowerSnapshot& snapshot,
                                                  const PowerBalanceSnapshot& alignedBalance);

}  // namespace pylonix
