#pragma once

#include <memory>
#include <string>
#include <vector>

#include "apppower/application_power_model.h"
#include "apppower/process_table.h"
#include "common/platform_texts.h"
#include "power/power_reading.h"

namespace pylonix {

// The messages of a sampling pass that failed as a whole.
inline constexpr const char* kProcessListSizeUnreadableMessage = "系统暂不允许读取应用能耗。";
inline constexpr const char* kProcessListUnreadableMessage = "暂时无法获取正在运行的应用。";
inline constexpr const char* kEnergyUnsupportedMessage = "当前系统不支持读取应用 CPU 能耗。";
inline constexpr const char* kEnergyNotPermittedMessage = "系统未允许读取其他应用的 CPU 能耗。";
inline constexpr const char* kNoEnergyDataMessage = platform_texts::kNoApplicationEnergyData;

// Reads per-process energy counters and whole-machine power samples. Holds no state between
// calls; each operation blocks on the process table and the power reading, so callers run it
// off the main thread, one operation at a time.
class ApplicationPowerReader {
public:
    ApplicationPowerReader(std::shared_ptr<const ProcessTable> processTable,
                           std::shared_ptr<const PowerReading> powerReading);

    // One pass: lists the user's processes, attributes them to `applications`, reads the
    // attributed processes' counters and pairs the pass with a power snapshot read within
    // 100 ms of the counters. A pass that fails as a whole carries its message and a power
    // sample stamped when the failure was found.
    ProcessEnergyReading sampleEnergy(
        const std::vector<RunningApplicationIdentity>& applications) const;

    // The uptime, then a power snapshot.
    TimedPowerSample samplePower() const;

private:
    // The metadata of every listed process of the current user, or nothing when the list cannot
    // be read (`failureMessage` then holds the pass's message).
    std::optional<ProcessMetadataTable> listProcesses(const char*& failureMessage) const;
    ProcessEnergyReading failed(std::string message) const;
    ApplicationProcessMetadata processMetadata(std::int32_t pid) const;

    std::shared_ptr<const ProcessTable> table_;
    std::shared_ptr<const PowerReading> power_;
};

}  // namespace pylonix
