#include "apppower/application_power_model.h"

#include <unordered_set>

namespace pylonix {

const char* toString(ApplicationPowerSnapshot::State::Case kind) {
    switch (kind) {
        case ApplicationPowerSnapshot::State::Case::unavailable:
            return "unavailable";
        case ApplicationPowerSnapshot::State::Case::collecting:
            return "collecting";
        case ApplicationPowerSnapshot::State::Case::available:
            return "available";
    }
    return "unavailable";
}

const char* toString(PowerBalanceSnapshot::State::Case kind) {
    switch (kind) {
        case PowerBalanceSnapshot::State::Case::unavailable:
            return "unavailable";
        case PowerBalanceSnapshot::State::Case::inconsistent:
            return "inconsistent";
        case PowerBalanceSnapshot::State::Case::collecting:
            return "collecting";
        case PowerBalanceSnapshot::State::Case::available:
            return "available";
    }
    return "unavailable";
}

std::optional<std::string> processEnergyReadingProblem(const ProcessEnergyReading& reading) {
    if (reading.errorMessage) {
        if (!reading.counters.empty() || !reading.knownProcessCounts.empty()) {
            return "a failed reading has no counters and no known process counts";
        }
        if (!reading.powerSample) return "a failed reading lacks its power sample";
        return std::nullopt;
    }
    for (const auto& [application, count] : reading.knownProcessCounts) {
        if (count < 0) return "the known process count of " + application + " is negative";
    }
    std::optional<std::uint64_t> sampledAt;
    std::map<std::string, std::int64_t> counted;
    for (const auto& [pid, counter] : reading.counters) {
        const std::string where = "the counter of process " + std::to_string(pid);
        if (counter.pid != pid) return where + " is filed under another process id";
        if (sampledAt && *sampledAt != counter.sampledAt) {
            return where + " was sampled at another time than the others of its pass";
        }
        sampledAt = counter.sampledAt;
        const auto known = reading.knownProcessCounts.find(counter.applicationID);
        if (known == reading.knownProcessCounts.end()) {
            return where + " belongs to an application without a known process count";
        }
        if (++counted[counter.applicationID] > known->second) {
            return "more counters than known processes for " + counter.applicationID;
        }
    }
    if (sampledAt && reading.powerSample && reading.powerSample->uptimeNanoseconds != *sampledAt) {
        return "the power sample is not stamped with the counters' sampling time";
    }
    return std::nullopt;
}

std::optional<std::string> identityListProblem(
    const std::vector<RunningApplicationIdentity>& applications) {
    std::unordered_set<std::string_view> ids;
    for (const RunningApplicationIdentity& application : applications) {
        if (application.id.empty()) return std::string("an application has an empty id");
        if (!ids.insert(application.id).second) {
            return "the application id " + application.id + " appears more than once";
        }
    }
    return std::nullopt;
}

}  // namespace pylonix
