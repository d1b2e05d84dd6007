#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "apppower/application_power_model.h"
#include "apppower/process_source.h"
#include "apppower/running_application_source.h"
#include "common/platform_texts.h"
#include "power/power_reading.h"

namespace pylonix {

// The messages of a sampling pass that failed as a whole.
inline constexpr const char* kProcessListSizeUnreadableMessage = "系统暂不允许读取应用能耗。";
inline constexpr const char* kProcessListUnreadableMessage = "暂时无法获取正在运行的应用。";
inline constexpr const char* kEnergyUnsupportedMessage = "当前系统不支持读取应用 CPU 能耗。";
inline constexpr const char* kEnergyNotPermittedMessage = "系统未允许读取其他应用的 CPU 能耗。";
inline constexpr const char* kNoEnergyDataMessage = platform_texts::kNoApplicationEnergyData;

// What one energy pass hands back: the running applications found in it, the reading, and
// the icons of the applications that had none cached.
struct EnergyPass {
    std::vector<RunningApplicationIdentity> applications;
    ProcessEnergyReading reading;
    std::map<std::string, std::shared_ptr<const ApplicationIcon>> newIcons;
};

// Reads one pass of the user's processes, finds the running applications in it, counts their
// processes' energy, and takes whole-machine power samples. Every operation blocks on the
// platform, so callers run it off the main thread, one operation at a time.
class ApplicationPowerReader {
  public:
    ApplicationPowerReader(std::shared_ptr<ProcessSource> processes,
                           std::shared_ptr<RunningApplicationSource> applications,
                           std::shared_ptr<const PowerReading> powerReading);

    // One pass: the user's processes, the running applications among them (with an icon for
    // each id not in `cachedIconIds`), and their counters paired with a power snapshot read
    // within 100 ms of them.
    EnergyPass sampleEnergy(const std::set<std::string>& cachedIconIds);

    // The counting part of a pass read at uptime `sampledAt`: attributes the pass's processes
    // to `applications` and keeps the counters of the attributed ones, stamped `sampledAt`. A
    // pass that fails as a whole carries its message and a power sample stamped when the
    // failure was found.
    ProcessEnergyReading readEnergy(const ProcessSource::Pass& pass,
                                    const std::vector<RunningApplicationIdentity>& applications,
                                    std::uint64_t sampledAt) const;

    // The uptime, then a power snapshot.
    TimedPowerSample samplePower() const;

  private:
    ProcessEnergyReading failed(std::string message) const;

    std::shared_ptr<ProcessSource> processes_;
    std::shared_ptr<RunningApplicationSource> applications_;
    std::shared_ptr<const PowerReading> power_;
};

}  // namespace pylonix
