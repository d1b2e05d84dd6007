#pragma once

#include <chrono>

namespace pylonix {

// A wall-clock time point with sub-second precision, held as double seconds since
// 1970-01-01 UTC so that it survives a JSON round trip exactly and differences read in seconds.
using WallClockTime =
    std::chrono::time_point<std::chrono::system_clock, std::chrono::duration<double>>;

inline WallClockTime wallClockNow() {
    return std::chrono::time_point_cast<std::chrono::duration<double>>(
        std::chrono::system_clock::now());
}

inline WallClockTime wallClockFromSeconds(double secondsSince1970) {
    return WallClockTime(std::chrono::duration<double>(secondsSince1970));
}

inline double secondsSince1970(WallClockTime time) {
    return time.time_since_epoch().count();
}

}  // namespace pylonix
