#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pylonix::linux_platform {

// The processor's cumulative energy from the RAPL zones of the powercap class
// (/sys/class/powercap, or a fixture tree). For each package zone ("intel-rapl:N", also on AMD
// processors) it counts the package's cores subzone where there is one, else the whole package.
// The MMIO mirrors of the same counters and the platform (psys) and memory zones are not
// counted. Each zone's energy_uj wraps at its max_energy_range_uj; the meter adds up the
// differences between reads, so its total only grows.
class RaplEnergyMeter {
  public:
    // What the last read found.
    enum class Access {
        readable,
        noCounter,     // no zone, or a counter that is missing or not a number
        notPermitted,  // a counter exists but this user may not read it (root-only since 5.10)
    };

    explicit RaplEnergyMeter(std::filesystem::path root = "/sys/class/powercap");

    // The energy of every counted zone since the first read, in nanojoules (0 on the first
    // read). Nothing when there is no zone or any zone's counter cannot be read (no such
    // hardware, or a root-only file); the next readable read starts the differences afresh.
    std::optional<std::uint64_t> readNanojoules();

    // Why the last read gave nothing, or `readable`; `noCounter` before the first read.
    Access access() const { return access_; }

    // The energy files the meter reads, in order.
    std::vector<std::filesystem::path> energyFiles() const;

  private:
    struct Zone {
        std::filesystem::path energyFile;
        std::uint64_t maxRangeMicrojoules = 0;  // 0 when unknown
        std::optional<std::uint64_t> lastMicrojoules;
    };

    std::vector<Zone> zones_;
    std::uint64_t totalMicrojoules_ = 0;
    Access access_ = Access::noCounter;
};

}  // namespace pylonix::linux_platform
