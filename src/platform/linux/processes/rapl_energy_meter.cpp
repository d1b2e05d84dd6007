#include "platform/linux/processes/rapl_energy_meter.h"

#include <map>
#include <system_error>

#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kZonePrefix = "intel-rapl:";

std::optional<std::uint64_t> readUnsigned(const fs::path& file, OutsideFileError* error = nullptr) {
    const OutsideFileResult read = readOutsideFileChecked(file);
    if (error != nullptr) *error = read.error;
    const auto& text = read.content;
    if (!text) return std::nullopt;
    const auto value = parseSysfsInteger(*text);
    if (!value || *value < 0) return std::nullopt;
    return static_cast<std::uint64_t>(*value);
}

std::string zoneName(const fs::path& zone) {
    const auto text = readOutsideFile(zone / "name");
    return text ? std::string(trimSpace(*text)) : std::string();
}

}  // namespace

RaplEnergyMeter::RaplEnergyMeter(fs::path root) {
    // Zone directories by name: "intel-rapl:0" is a package, "intel-rapl:0:0" one of its
    // subzones. The class directory lists both kinds side by side.
    std::map<std::string, std::vector<fs::path>> subzonesByPackage;
    std::map<std::string, fs::path> packages;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(root, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kZonePrefix)) continue;  // also skips "intel-rapl-mmio:*"
        const std::string_view suffix = std::string_view(name).substr(kZonePrefix.size());
        const std::size_t colon = suffix.find(':');
        if (colon == std::string_view::npos) {
            packages.emplace(name, entry.path());
        } else {
            subzonesByPackage[std::string(kZonePrefix) + std::string(suffix.substr(0, colon))]
                .push_back(entry.path());
        }
    }
    for (const auto& [name, package] : packages) {
        if (!zoneName(package).starts_with("package")) continue;  // psys, dram
        fs::path counted = package;
        for (const fs::path& subzone : subzonesByPackage[name]) {
            if (zoneName(subzone) == "core") counted = subzone;
        }
        zones_.push_back(
            {counted / "energy_uj", readUnsigned(counted / "max_energy_range_uj").value_or(0), {}});
    }
}

std::vector<fs::path> RaplEnergyMeter::energyFiles() const {
    std::vector<fs::path> files;
    for (const Zone& zone : zones_) files.push_back(zone.energyFile);
    return files;
}

std::optional<std::uint64_t> RaplEnergyMeter::readNanojoules() {
    access_ = Access::noCounter;
    if (zones_.empty()) return std::nullopt;
    std::vector<std::uint64_t> values;
    values.reserve(zones_.size());
    for (const Zone& zone : zones_) {
        OutsideFileError error = OutsideFileError::unavailable;
        const auto value = readUnsigned(zone.energyFile, &error);
        if (!value) {
            for (Zone& each : zones_) each.lastMicrojoules.reset();
            if (error == OutsideFileError::notPermitted) access_ = Access::notPermitted;
            return std::nullopt;
        }
        values.push_back(*value);
    }
    access_ = Access::readable;
    for (std::size_t i = 0; i < zones_.size(); ++i) {
        Zone& zone = zones_[i];
        const std::uint64_t now = values[i];
        if (zone.lastMicrojoules) {
            const std::uint64_t last = *zone.lastMicrojoules;
            if (now >= last) {
                totalMicrojoules_ += now - last;
            } else if (zone.maxRangeMicrojoules >= last) {
                // The counter wrapped at its range and started again from 0.
                totalMicrojoules_ += zone.maxRangeMicrojoules - last + now;
            }
            // A counter that went back without a known range (a reset) adds nothing.
        }
        zone.lastMicrojoules = now;
    }
    constexpr std::uint64_t kNanojoulesPerMicrojoule = 1000;
    return totalMicrojoules_ * kNanojoulesPerMicrojoule;
}

}  // namespace pylonix::linux_platform
