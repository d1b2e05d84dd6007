#pragma once

#include <string>
#include <string_view>

namespace pylonix {

// The widest value text, for hosts that reserve the label's width ahead of time.
inline constexpr std::string_view kTrayLabelGuide = "88.8 W";

// The value text as the tray label, padded at its start with figure spaces (U+2007, as wide as
// a digit) to as many characters as the guide, so that a host that ignores the guide keeps
// the item's width while the figure changes ("8.5 W" becomes "\u20078.5 W").
std::string trayLabel(std::string_view valueText);

}  // namespace pylonix
