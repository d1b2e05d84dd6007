#pragma once

#include "platform/linux/platform_roots.h"

#include <memory>

#include "apppower/application_power_monitor.h"
#include "common/main_executor.h"
#include "platform/linux/applications/desktop_application_source.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/qt/qt_desktop_application_source.h"

namespace pylonix::qt_platform {

// The application power monitor of this platform and what it reads from: the user's desktop
// applications (with their theme icons, or without pictures), the /proc process table with its
// energy ledger, the battery, and a worker thread of its own for the
// reader. The source must outlive the monitor:
// members go in reverse order, the monitor first.
struct LinuxApplicationPower {
    std::unique_ptr<linux_platform::DesktopApplicationSource> applications;
    std::shared_ptr<ApplicationPowerMonitor> monitor;
};

// Made on the main thread, after the Qt application (a GUI application for theme icons). Every
// source is read under `roots`, the battery included.
enum class ApplicationIcons { theme, none };
std::unique_ptr<LinuxApplicationPower> makeLinuxApplicationPower(
    MainExecutor& executor, const linux_platform::PlatformRoots& roots,
    ApplicationIcons icons = ApplicationIcons::theme);

}  // namespace pylonix::qt_platform
