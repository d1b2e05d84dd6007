#include "ui/tray_icon_figure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "power/power_formatters.h"

namespace pylonix {

std::string trayIconFigure(std::optional<double> watts) {
    // The value text shows tiny negative readings as "0.0" and the others with a minus sign;
    // the icon never shows a negative figure.
    if (!watts || !std::isfinite(*watts) || *watts <= -0.05) return kMissingValueText;
    const double value = std::max(0.0, *watts);
    // printf rounds half to even, as the value text does; nearbyint does the same.
    if (std::nearbyint(value) >= 1000) return "1k+";
    char text[8];
    const int tenths = std::snprintf(text, sizeof text, "%.1f", value);
    if (tenths == 3) return text;  // "d.d": below 9.95 W
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

}  // namespace pylonix
