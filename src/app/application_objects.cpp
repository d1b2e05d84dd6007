#include "app/application_objects.h"

#include <utility>

#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/login_item/xdg_autostart_login_item.h"
#include "platform/linux/updates/platform_update_driver.h"
#include "platform/linux/updates/system_log.h"

namespace pylonix {

linux_platform::PlatformRoots platformRootsFromEnvironment(const EnvironmentLookup& environment) {
    linux_platform::PlatformRoots roots;
    const auto take = [&](const char* name, std::filesystem::path& root) {
        if (auto value = environment(name); value && !value->empty()) root = *value;
    };
    take("PYLONIX_POWER_SUPPLY_ROOT", roots.powerSupply);
    take("PYLONIX_PROC_ROOT", roots.proc);
    take("PYLONIX_POWERCAP_ROOT", roots.powercap);
    return roots;
}

ApplicationObjects::ApplicationObjects(Platform platform)
    : app_({platform.executor, platform.preferences,
            linux_platform::makePlatformPowerReader(platform.roots.powerSupply),
            platform.environment}),
      applicationPower_(qt_platform::makeLinuxApplicationPower(
          platform.executor, platform.roots,
          platform.front == ApplicationFront::tray ? qt_platform::ApplicationIcons::theme
                                                   : qt_platform::ApplicationIcons::none)) {
    if (platform.front != ApplicationFront::tray) return;
    loginItem_ = linux_platform::makePlatformLoginItem();
    launchAtLogin_ =
        std::make_unique<LaunchAtLoginController>(*loginItem_, loginItemWorker_, platform.executor);
    softwareUpdate_ = std::make_unique<SoftwareUpdateController>(
        linux_platform::makePlatformUpdateDriver(), !app_.isRunningTests(),
        linux_platform::writeSystemLog);
}

}  // namespace pylonix
