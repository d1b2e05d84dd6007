#pragma once

#include <memory>

#include "platform/linux/updates/feed_update_driver.h"

namespace pylonix::linux_platform {

// The application's update driver: this build's feed address and version, the user's
// settings, results shown in message boxes (the application needs a QApplication).
std::unique_ptr<FeedUpdateDriver> makePlatformUpdateDriver();

}  // namespace pylonix::linux_platform
