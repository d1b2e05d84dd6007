#pragma once

#include <chrono>
#include <optional>

#include "power/wall_clock.h"

namespace pylonix::linux_platform {

inline constexpr std::chrono::hours kScheduledCheckInterval{24};

// How long until the next scheduled check: nothing while automatic checks are off; at once
// when there has never been a check or the last one is a day old; otherwise what is left of
// the day. A last check dated in the future (the clock was set back) waits one whole day.
std::optional<std::chrono::milliseconds> nextScheduledCheckDelay(
    bool automaticallyChecks, std::optional<WallClockTime> lastCheckDate, WallClockTime now);

}  // namespace pylonix::linux_platform
