#pragma once

#include <cstdint>
#include <string>

namespace pylonix {

// The one place where power-supply numbers become text. A non-finite number has no
// meaningful text and formats as "—", like any other missing figure.

inline constexpr const char* kMissingValueText = "—";

// Number part of a power value without unit ("12.3", "−3.2", "150"); callers append " W".
std::string formatWatts(double watts);
// A signed current with its unit ("+1.23 A", "−0.50 A", "0.00 A").
std::string formatAmps(double amps);
// A fraction as a whole-number percentage ("86%").
std::string formatPercent(double fraction);
// An approximate duration in Chinese ("约 2 小时 15 分钟").
std::string formatRemainingTime(std::int64_t minutes);

}  // namespace pylonix
