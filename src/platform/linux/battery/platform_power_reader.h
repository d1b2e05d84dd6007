#pragma once

#include <filesystem>
#include <memory>

#include "power/power_reading.h"

namespace pylonix::linux_platform {

inline constexpr const char* kDefaultPowerSupplyRoot = "/sys/class/power_supply";

// The battery reader over this machine's power-supply class (or a fixture tree).
std::unique_ptr<PowerReading> makePlatformPowerReader(
    const std::filesystem::path& root = kDefaultPowerSupplyRoot);

}  // namespace pylonix::linux_platform
