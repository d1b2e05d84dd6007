#include "app/pylonix_app.h"

#include <cstdlib>
#include <utility>

#include "platform/linux/battery/platform_power_reader.h"

namespace pylonix {

std::optional<std::string> processEnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read at start-up
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool isRunningUnderTestHost(const EnvironmentLookup& environment) {
    return environment(kTestHostEnvironmentVariable).has_value();
}

std::filesystem::path powerSupplyRoot(const EnvironmentLookup& environment) {
    const std::optional<std::string> root = environment("PYLONIX_POWER_SUPPLY_ROOT");
    if (!root || root->empty()) return linux_platform::kDefaultPowerSupplyRoot;
    return *root;
}

PylonixApp::PylonixApp(MainExecutor& executor, PreferencesStore& preferences)
    : PylonixApp(Platform{executor, preferences, linux_platform::makePlatformPowerReader()}) {}

PylonixApp::PylonixApp(Platform platform)
    : monitor_(PowerMonitor::create(std::move(platform.reader), platform.preferences,
                                    platform.executor)) {
    monitor_->start();
    isRunningTests_ = isRunningUnderTestHost(platform.environment);
}

}  // namespace pylonix
