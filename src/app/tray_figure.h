#pragma once

#include <string>
#include <string_view>

namespace pylonix {

// The figure a square tray icon carries when the host shows no text beside it: the value
// text ("12.3 W", "— W") cut to at most three glyphs without the unit. Below 10 W the
// decimal stays ("9.8"); from 10 W on the watts are rounded to whole numbers ("12", "100");
// from 999.5 W on the icon says "1k+". Anything that is not a non-negative figure is "—".
std::string trayFigure(std::string_view valueText);

}  // namespace pylonix
