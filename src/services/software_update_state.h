#pragma once

#include <optional>
#include <string>

#include "power/wall_clock.h"

namespace pylonix {

// The update service's state as the rest of the program sees it. Compared field by field.
struct SoftwareUpdateState {
    // A user-initiated check can start now.
    bool canCheckForUpdates = false;
    // Scheduled background checks are on.
    bool automaticallyChecksForUpdates = false;
    // When the last check happened; absent when there has never been one.
    std::optional<WallClockTime> lastCheckDate;
    // The display version of a found update not yet dealt with.
    std::optional<std::string> availableVersion;

    friend bool operator==(const SoftwareUpdateState&, const SoftwareUpdateState&) = default;
};

}  // namespace pylonix
