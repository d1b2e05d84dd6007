#pragma once

#include <memory>

#include "apppower/application_power_monitor.h"
#include "common/main_executor.h"

namespace pylonix::qt_platform {

// The application power monitor of this platform: the /proc process source with its energy
// ledger, the user's desktop applications with their theme icons, the battery, and a worker
// thread of its own on which all of them are read. The worker takes a first pass at once, so
// that the energy counters already grow when the panel first opens.
struct LinuxApplicationPower {
    std::shared_ptr<ApplicationPowerMonitor> monitor;
};

// Made on the main thread, after the Qt GUI application.
std::unique_ptr<LinuxApplicationPower> makeLinuxApplicationPower(MainExecutor& executor);

}  // namespace pylonix::qt_platform
