#include "platform/linux/updates/update_schedule.h"

#include <algorithm>

namespace pylonix::linux_platform {

std::optional<std::chrono::milliseconds> nextScheduledCheckDelay(
    bool automaticallyChecks, std::optional<WallClockTime> lastCheckDate, WallClockTime now) {
    using std::chrono::milliseconds;
    if (!automaticallyChecks) return std::nullopt;
    if (!lastCheckDate) return milliseconds(0);
    if (*lastCheckDate > now) return milliseconds(kScheduledCheckInterval);
    const auto remaining =
        std::chrono::duration_cast<milliseconds>(*lastCheckDate + kScheduledCheckInterval - now);
    return std::clamp(remaining, milliseconds(0), milliseconds(kScheduledCheckInterval));
}

}  // namespace pylonix::linux_platform
