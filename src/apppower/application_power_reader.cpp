#include "apppower/application_power_reader.h"

#include <unordered_map>

#include "apppower/attribute_processes.h"

namespace pylonix {

ApplicationPowerReader::ApplicationPowerReader(
    std::shared_ptr<ProcessSource> processes,
    std::shared_ptr<RunningApplicationSource> applications,
    std::shared_ptr<const PowerReading> powerReading)
    : processes_(std::move(processes)),
      applications_(std::move(applications)),
      power_(std::move(powerReading)) {}

TimedPowerSample ApplicationPowerReader::samplePower() const {
    const std::uint64_t uptime = processes_->uptimeNanoseconds();
    return {uptime, power_->read()};
}

ProcessEnergyReading ApplicationPowerReader::failed(std::string message) const {
    ProcessEnergyReading reading;
    reading.errorMessage = std::move(message);
    reading.powerSample = samplePower();
    return reading;
}

EnergyPass ApplicationPowerReader::sampleEnergy(const std::set<std::string>& cachedIconIds) {
    const ProcessSource::Pass pass = processes_->readPass();
    // The counters' time: the lookups below (desktop entries, icons) come after it.
    const std::uint64_t sampledAt = processes_->uptimeNanoseconds();
    EnergyPass result;
    if (const auto* processes = std::get_if<ProcessPass>(&pass)) {
        const std::vector<PlatformRunningApplication> running =
            applications_->runningApplications(processes->processes);
        const ApplicationIdRule idRule = [this](std::string_view path) {
            return applications_->applicationId(path);
        };
        result.applications = runningApplicationIdentities(running, idRule);
        // The first instance of an id without a cached icon provides it, as the identities
        // take their names from first instances.
        for (const PlatformRunningApplication& application : running) {
            if (application.isTerminated || !application.bundlePath ||
                application.activationPolicy ==
                    PlatformRunningApplication::ActivationPolicy::prohibited) {
                continue;
            }
            const std::optional<std::string> id = idRule(*application.bundlePath);
            if (!id || cachedIconIds.contains(*id) || result.newIcons.contains(*id)) continue;
            std::shared_ptr<const ApplicationIcon> icon =
                applications_->applicationIcon(application);
            result.newIcons.emplace(*id, icon ? std::move(icon) : applications_->fileIcon(*id));
        }
    }
    result.reading = readEnergy(pass, result.applications, sampledAt);
    return result;
}

ProcessEnergyReading ApplicationPowerReader::readEnergy(
    const ProcessSource::Pass& pass, const std::vector<RunningApplicationIdentity>& applications,
    std::uint64_t sampledAt) const {
    if (const auto* failure = std::get_if<ProcessListFailure>(&pass)) {
        return failed(*failure == ProcessListFailure::notPermitted
                          ? kProcessListSizeUnreadableMessage
                          : kProcessListUnreadableMessage);
    }
    const ProcessPass& processes = std::get<ProcessPass>(pass);
    ProcessMetadataTable metadata;
    metadata.reserve(processes.processes.size());
    std::unordered_map<std::int32_t, const ProcessRecord*> records;
    records.reserve(processes.processes.size());
    for (const ProcessRecord& process : processes.processes) {
        if (process.pid < 1) continue;
        metadata.insert_or_assign(
            process.pid,
            ApplicationProcessMetadata{process.pid, process.parentPID, process.executablePath});
        records.insert_or_assign(process.pid, &process);
    }

    const ProcessAttribution attribution = attributeProcesses(applications, metadata);

    ProcessEnergyReading reading;
    bool anyEnergy = false;
    for (const auto& [pid, applicationID] : attribution) {
        ++reading.knownProcessCounts[applicationID];
        const auto found = records.find(pid);
        // Gone, or its counter not readable: known only.
        if (found == records.end() || !found->second->energyNanojoules) continue;
        const ProcessRecord& process = *found->second;
        reading.counters.insert_or_assign(
            pid, ProcessEnergyCounter{pid, applicationID, process.startTime,
                                      *process.energyNanojoules, sampledAt});
        anyEnergy = anyEnergy || *process.energyNanojoules != 0;
    }

    // Nothing readable: tell "this system has no such counters" from "other processes' counters
    // are not ours to read" by this program's own.
    const std::optional<std::uint64_t>& own = processes.ownEnergyNanojoules;
    if (reading.counters.empty() && !applications.empty()) {
        return failed(own ? kEnergyNotPermittedMessage : kEnergyUnsupportedMessage);
    }
    if (!anyEnergy && (!own || *own == 0)) return failed(processes_->energyUnavailableMessage());

    PowerSnapshot snapshot = power_->read();
    const std::uint64_t readAt = processes_->uptimeNanoseconds();
    if (readAt <= sampledAt || readAt - sampledAt <= kPowerSamplePairingNanoseconds) {
        reading.powerSample = TimedPowerSample{sampledAt, std::move(snapshot)};
    }
    return reading;
}

}  // namespace pylonix
