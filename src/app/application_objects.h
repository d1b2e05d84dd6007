#pragma once

#include <memory>

#include "app/pylonix_app.h"
#include "common/thread_serial_executor.h"
#include "platform/linux/platform_roots.h"
#include "platform/qt/application_power_monitor_factory.h"
#include "services/launch_at_login_controller.h"
#include "services/login_item_service.h"
#include "services/software_update_controller.h"

namespace pylonix {

// The roots of the machine's sources: the real ones, unless the environment names recorded
// trees ("PYLONIX_POWER_SUPPLY_ROOT", "PYLONIX_PROC_ROOT", "PYLONIX_POWERCAP_ROOT"; for tests and
// demonstrations).
linux_platform::PlatformRoots platformRootsFromEnvironment(const EnvironmentLookup& environment);

// What the objects are shown by: the tray (a GUI application, with application icons, the login
// item and the updater) or the terminal view (readings only).
enum class ApplicationFront { tray, terminal };

// The composition root: every long-lived object of the program, made once from one description
// of the platform, in start-up order. The tray application and the terminal view both run on
// these. Made on the main thread after the Qt application object.
class ApplicationObjects {
  public:
    struct Platform {
        MainExecutor& executor;
        PreferencesStore& preferences;
        linux_platform::PlatformRoots roots;
        ApplicationFront front = ApplicationFront::tray;
        EnvironmentLookup environment = processEnvironmentVariable;
    };

    explicit ApplicationObjects(Platform platform);

    // Started before anything is shown.
    const std::shared_ptr<PowerMonitor>& monitor() const { return app_.monitor(); }
    ApplicationPowerMonitor& applicationPower() const { return *applicationPower_->monitor; }
    // The tray's only; null for the terminal view.
    LaunchAtLoginController* launchAtLogin() const { return launchAtLogin_.get(); }
    SoftwareUpdateController* softwareUpdate() const { return softwareUpdate_.get(); }

  private:
    PylonixApp app_;
    // After start-up the autostart entry is read and written on a worker of its own.
    ThreadSerialExecutor loginItemWorker_;
    std::unique_ptr<LoginItemService> loginItem_;
    std::unique_ptr<LaunchAtLoginController> launchAtLogin_;
    std::unique_ptr<SoftwareUpdateController> softwareUpdate_;
    // Sampled only while something shows it (the panel, the terminal view).
    std::unique_ptr<qt_platform::LinuxApplicationPower> applicationPower_;
};

}  // namespace pylonix
