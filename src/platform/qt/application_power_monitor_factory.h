#pragma once

#include <memory>

#include "apppower/application_power_monitor.h"
#include "common/main_executor.h"
#include "platform/linux/platform_roots.h"

namespace pylonix::qt_platform {

// The application power monitor of this platform: the /proc process source with its energy
// ledger, the user's desktop applications with their theme icons, the battery, and a worker
// thread of its own on which all of them are read. The worker takes a first pass at once, so
// that the energy counters already grow when the panel first opens.
struct LinuxApplicationPower {
    std::shared_ptr<ApplicationPowerMonitor> monitor;
};

// Whether the applications come with their theme icons (which needs the Qt GUI application) or
// without pictures (the terminal view, tools).
enum class ApplicationIcons { theme, none };

// Made on the main thread, after the Qt application. Every source is read under `roots`, the
// battery included.
std::unique_ptr<LinuxApplicationPower> makeLinuxApplicationPower(
    MainExecutor& executor, const linux_platform::PlatformRoots& roots,
    ApplicationIcons icons = ApplicationIcons::theme);

}  // namespace pylonix::qt_platform
