#pragma once

#include <functional>

#include "platform/linux/updates/update_feed.h"

namespace pylonix::linux_platform {

// Shows the result of a check the user started: a newer version with a way to open its
// download page, "up to date", or the failure. `onDismissed` runs once, when the user has
// closed what was shown.
class UpdatePresenting {
  public:
    virtual ~UpdatePresenting() = default;

    virtual void present(const UpdateCheckResult& result, std::function<void()> onDismissed) = 0;
};

}  // namespace pylonix::linux_platform
