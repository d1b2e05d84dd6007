#pragma once

#include <string>

#include "power/wall_clock.h"

namespace pylonix {

// Where a short time is shown: a locale ("zh_CN") and a time zone ("Asia/Shanghai"). Empty
// names are the user's own, from the environment.
struct TimeTextStyle {
    std::string localeName;
    std::string timeZoneId;
};

// The time of day of `time` without date, in the locale's short time style ("14:05",
// "2:05 PM"); "—" when the time cannot be formatted.
std::string formatShortTime(WallClockTime time, const TimeTextStyle& style = {});

}  // namespace pylonix
