#include "platform/linux/battery/platform_power_reader.h"

#include "platform/linux/battery/sysfs_power_reader.h"

namespace pylonix::linux_platform {

std::unique_ptr<PowerReading> makePlatformPowerReader(const std::filesystem::path& root) {
    return std::make_unique<SysfsPowerReader>(root);
}

}  // namespace pylonix::linux_platform
