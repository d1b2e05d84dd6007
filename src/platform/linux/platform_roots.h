#pragma once

#include <filesystem>

namespace pylonix::linux_platform {

// Where this machine's readings come from. Every long-lived object that reads the machine is
// made from one of these, so a recorded tree given for one source can never be mixed with the
// real machine's other sources.
struct PlatformRoots {
    std::filesystem::path powerSupply = "/sys/class/power_supply";
    std::filesystem::path proc = "/proc";
    std::filesystem::path powercap = "/sys/class/powercap";
};

}  // namespace pylonix::linux_platform
