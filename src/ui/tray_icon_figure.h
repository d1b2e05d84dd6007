#pragma once

#include <optional>
#include <string>

namespace pylonix {

// The figure a square tray icon carries when the host shows no text beside it, in at most
// three glyphs of "0123456789.k+—": below 10 W with its decimal ("9.8"); from 10 W on the
// watts rounded to whole numbers ("12", "100"), as the value text rounds them; from 999.5 W
// on "1k+". No estimate, or one that is not a non-negative figure, is "—".
std::string trayIconFigure(std::optional<double> watts);

}  // namespace pylonix
