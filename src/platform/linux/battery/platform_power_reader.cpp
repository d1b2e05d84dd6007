#include "platform/linux/battery/platform_power_reader.h"

#include "platform/linux/battery/sysfs_battery_registry.h"

namespace pylonix::linux_platform {

std::unique_ptr<IOKitPowerReader> makePlatformPowerReader(const std::filesystem::path& root) {
    return std::make_unique<IOKitPowerReader>(std::make_shared<SysfsBatteryRegistry>(root));
}

}  // namespace pylonix::linux_platform
