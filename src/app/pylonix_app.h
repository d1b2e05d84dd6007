#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/main_executor.h"
#include "common/preferences_store.h"
#include "power/power_monitor.h"

namespace pylonix {

// Set by a test host; its presence (any value, empty included) holds the updater back.
inline constexpr const char* kTestHostEnvironmentVariable = "XCTestConfigurationFilePath";

// Looks up a variable of the process environment; none when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> processEnvironmentVariable(const char* name);

bool isRunningUnderTestHost(const EnvironmentLookup& environment);

// The program's long-lived objects and its start-up: the power monitor is created and started
// before anything is shown, so the tray has real data from its first appearance.
class PylonixApp {
  public:
    struct Platform {
        MainExecutor& executor;
        PreferencesStore& preferences;
        std::unique_ptr<const PowerReading> reader;
        EnvironmentLookup environment = processEnvironmentVariable;
    };

    // This machine: the battery through the power-supply class, the process environment.
    PylonixApp(MainExecutor& executor, PreferencesStore& preferences);
    explicit PylonixApp(Platform platform);

    // Started; lives as long as the application.
    const std::shared_ptr<PowerMonitor>& monitor() const { return monitor_; }
    // Decided once, at start-up; only decides whether the updater starts.
    bool isRunningTests() const { return isRunningTests_; }

  private:
    std::shared_ptr<PowerMonitor> monitor_;
    // The login-item and update controllers join here: created once, when the tray scene is
    // first built, the update controller with `isRunningTests_`.
    bool isRunningTests_ = false;
};

}  // namespace pylonix
