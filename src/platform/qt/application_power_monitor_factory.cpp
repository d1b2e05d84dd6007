#include "platform/qt/application_power_monitor_factory.h"

#include <unistd.h>

#include "common/thread_serial_executor.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/processes/proc_process_table.h"
#include "platform/qt/qt_desktop_application_source.h"

namespace pylonix::qt_platform {

std::unique_ptr<LinuxApplicationPower> makeLinuxApplicationPower(
    MainExecutor& executor, const linux_platform::PlatformRoots& roots, ApplicationIcons icons) {
    auto result = std::make_unique<LinuxApplicationPower>();
    auto running = std::make_unique<linux_platform::DesktopRunningApplications>(
        roots.proc, linux_platform::DesktopEntryLocations::fromEnvironment(), ::getuid());
    if (icons == ApplicationIcons::theme) {
        result->applications = std::make_unique<QtDesktopApplicationSource>(std::move(running));
    } else {
        result->applications =
            std::make_unique<linux_platform::DesktopApplicationSource>(std::move(running));
    }
    auto reader = std::make_shared<ApplicationPowerReader>(
        std::make_shared<linux_platform::ProcProcessTable>(roots.proc, roots.powercap),
        linux_platform::makePlatformPowerReader(roots.powerSupply));
    auto actor = std::make_shared<ApplicationPowerReaderActor>(
        std::move(reader), std::make_shared<ThreadSerialExecutor>(), executor);
    result->monitor =
        ApplicationPowerMonitor::create(std::move(actor), *result->applications, executor);
    return result;
}

}  // namespace pylonix::qt_platform
