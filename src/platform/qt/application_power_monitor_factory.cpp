#include "platform/qt/application_power_monitor_factory.h"

#include "common/thread_serial_executor.h"
#include "platform/linux/applications/iconless_application_source.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/processes/proc_process_source.h"
#include "platform/qt/qt_desktop_application_source.h"

namespace pylonix::qt_platform {

std::unique_ptr<LinuxApplicationPower> makeLinuxApplicationPower(
    MainExecutor& executor, const linux_platform::PlatformRoots& roots, ApplicationIcons icons) {
    auto locations = linux_platform::DesktopEntryLocations::fromEnvironment();
    auto processes =
        std::make_shared<linux_platform::ProcProcessSource>(roots.proc, roots.powercap);
    std::shared_ptr<RunningApplicationSource> applications;
    linux_platform::DesktopRunningApplications* list = nullptr;
    if (icons == ApplicationIcons::theme) {
        auto running = std::make_unique<linux_platform::DesktopRunningApplications>(locations);
        list = running.get();
        applications = std::make_shared<QtDesktopApplicationSource>(
            std::move(running), QtDesktopApplicationSource::currentIconThemeSettings());
    } else {
        auto iconless = std::make_shared<linux_platform::IconlessApplicationSource>(locations);
        list = &iconless->list();
        applications = std::move(iconless);
    }
    processes->setCommandLineRule(
        [list](const std::string& executable) { return list->needsCommandLine(executable); });
    auto reader = std::make_shared<ApplicationPowerReader>(
        processes, std::move(applications),
        linux_platform::makePlatformPowerReader(roots.powerSupply));
    auto serial = std::make_shared<ThreadSerialExecutor>();
    // The ledger's counters start at 0 when it first sees a process: a first pass now means
    // that the panel's first pass already measures the energy used since. The job keeps the
    // reader, and with it the list the command-line rule asks, alive until it has run.
    serial->submit([processes, reader] { processes->readPass(); });
    return std::make_unique<LinuxApplicationPower>(LinuxApplicationPower{
        ApplicationPowerMonitor::create(std::make_shared<ApplicationPowerReaderActor>(
                                            std::move(reader), std::move(serial), executor),
                                        executor)});
}

}  // namespace pylonix::qt_platform
