#include "app/tray_figure.h"

#include <charconv>
#include <cmath>

#include "power/power_formatters.h"

namespace pylonix {

std::string trayFigure(std::string_view valueText) {
    constexpr std::string_view kUnit = " W";
    if (valueText.ends_with(kUnit)) valueText.remove_suffix(kUnit.size());

    double watts = 0;
    const char* const end = valueText.data() + valueText.size();
    const auto [parsed, error] = std::from_chars(valueText.data(), end, watts);
    // A negative figure carries U+2212, which does not parse: it is shown as missing, like
    // every text that is not a plain figure.
    if (valueText.empty() || error != std::errc{} || parsed != end || !std::isfinite(watts) ||
        watts < 0) {
        return kMissingValueText;
    }
    if (watts < 10) return std::string(valueText.size() <= 3 ? valueText : valueText.substr(0, 3));
    const double rounded = std::round(watts);
    if (rounded >= 1000) return "1k+";
    return std::to_string(static_cast<int>(rounded));
}

}  // namespace pylonix
