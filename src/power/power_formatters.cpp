#include "power/power_formatters.h"

#include <cmath>
#include <cstdio>

namespace pylonix {
namespace {

constexpr const char* kMinusSign = "−";  // U+2212

std::string printed(const char* format, double value) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    if (length < 0) return kMissingValueText;
    if (static_cast<std::size_t>(length) >= sizeof buffer) {
        // Only astronomically large magnitudes get here; print them in full.
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        std::snprintf(text.data(), text.size(), format, value);
        text.pop_back();
        return text;
    }
    return {buffer, static_cast<std::size_t>(length)};
}

}  // namespace

std::string formatWatts(double watts) {
    if (!std::isfinite(watts)) return kMissingValueText;
    const double magnitude = std::fabs(watts);
    if (magnitude < 0.05) return "0.0";
    const std::string digits = printed(magnitude < 100 ? "%.1f" : "%.0f", magnitude);
    return watts < 0 ? kMinusSign + digits : digits;
}

std::string formatAmps(double amps) {
    if (!std::isfinite(amps)) return kMissingValueText;
    const double magnitude = std::fabs(amps);
    if (magnitude < 0.005) return "0.00 A";
    return (amps < 0 ? kMinusSign : "+") + printed("%.2f", magnitude) + " A";
}

std::string formatPercent(double fraction) {
    if (!std::isfinite(fraction)) return kMissingValueText;
    // std::round rounds half away from zero; "%.0f" of an integral value prints it exactly.
    const double percent = std::round(fraction * 100.0);
    if (!std::isfinite(percent)) return kMissingValueText;
    return printed("%.0f", percent == 0.0 ? 0.0 : percent) + "%";
}

std::string formatRemainingTime(std::int64_t minutes) {
    const std::int64_t hours = minutes / 60;
    const std::int64_t rest = minutes - 60 * hours;
    if (minutes >= -59 && minutes <= 59) return "约 " + std::to_string(minutes) + " 分钟";
    if (rest == 0) return "约 " + std::to_string(hours) + " 小时";
    return "约 " + std::to_string(hours) + " 小时 " + std::to_string(rest) + " 分钟";
}

}  // namespace pylonix
