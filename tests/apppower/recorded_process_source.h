#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "apppower/process_source.h"
#include "apppower/running_application_source.h"
#include "power/power_reading.h"

namespace pylonix::testing_support {

// Recorded passes handed out one per read (the last one again once they run out), with a
// manual uptime clock.
class RecordedProcessSource final : public ProcessSource {
  public:
    std::deque<Pass> passes;
    Pass last = ProcessPass{};
    mutable std::uint64_t uptime = 5'000'000'000;
    int reads = 0;

    Pass readPass() override {
        ++reads;
        if (!passes.empty()) {
            last = std::move(passes.front());
            passes.pop_front();
        }
        return last;
    }
    std::uint64_t uptimeNanoseconds() const override { return uptime; }
};

// A process record with a parent, a path and a counter.
inline ProcessRecord record(std::int32_t pid, std::int32_t parent, std::string path,
                            std::uint64_t startTime, std::optional<std::uint64_t> energy) {
    ProcessRecord process;
    process.pid = pid;
    process.parentPID = parent;
    process.executablePath = std::move(path);
    process.startTime = startTime;
    process.energyNanojoules = energy;
    return process;
}

struct NamedIcon final : ApplicationIcon {
    explicit NamedIcon(std::string text) : name(std::move(text)) {}
    std::string name;
};

inline std::string iconName(const std::shared_ptr<const ApplicationIcon>& icon) {
    return static_cast<const NamedIcon&>(*icon).name;
}

// Applications by process id: a process of the pass that is listed here is that application's
// instance. Counts the icon look-ups.
class ListedApplications final : public RunningApplicationSource {
  public:
    std::map<std::int32_t, PlatformRunningApplication> byPid;
    std::map<std::int32_t, std::string> ownIcons;  // process id -> icon name
    std::vector<std::string> iconLookups;
    std::function<void()> whileListing;  // runs in each listing (time passing, say)

    void add(std::string path, std::int32_t pid, bool withIcon = true) {
        PlatformRunningApplication application;
        application.bundlePath = path;
        application.localizedName = path.substr(path.rfind('/') + 1);
        application.processIdentifier = pid;
        byPid[pid] = application;
        if (withIcon) ownIcons[pid] = "own:" + path;
    }

    std::vector<PlatformRunningApplication> runningApplications(
        std::span<const ProcessRecord> processes) override {
        if (whileListing) whileListing();
        std::vector<PlatformRunningApplication> running;
        for (const ProcessRecord& process : processes) {
            if (const auto found = byPid.find(process.pid); found != byPid.end()) {
                running.push_back(found->second);
            }
        }
        return running;
    }
    std::shared_ptr<const ApplicationIcon> applicationIcon(
        const PlatformRunningApplication& application) override {
        iconLookups.push_back(*application.bundlePath);
        const auto found = ownIcons.find(application.processIdentifier);
        if (found == ownIcons.end()) return nullptr;
        return std::make_shared<NamedIcon>(found->second);
    }
    std::shared_ptr<const ApplicationIcon> fileIcon(const std::string& path) override {
        return std::make_shared<NamedIcon>("file:" + path);
    }
    std::optional<std::string> applicationId(std::string_view bundlePath) const override {
        return std::string(bundlePath);
    }
};

// A power reading that takes `readNanoseconds` of the source's clock.
class FakePowerReading final : public PowerReading {
  public:
    explicit FakePowerReading(const RecordedProcessSource& source) : source_(source) {}

    PowerSnapshot read() const override {
        ++reads;
        source_.uptime += readNanoseconds;
        return snapshot;
    }

    PowerSnapshot snapshot = [] {
        PowerSnapshot s;
        s.batteryPresent = true;
        s.systemPower.watts = 9.5;
        s.systemPower.source = SystemPowerReading::Source::batteryDischarge;
        return s;
    }();
    std::uint64_t readNanoseconds = 20'000'000;
    mutable int reads = 0;

  private:
    const RecordedProcessSource& source_;
};

}  // namespace pylonix::testing_support
