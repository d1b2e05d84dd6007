#include "apppower/make_application_power_snapshot.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace pylonix {
namespace {

struct Measured {
    double watts = 0;
    std::int64_t processCount = 0;
};

// The counter pair's watts, or nothing when the two counters cannot be paired.
std::optional<double> pairWatts(const ProcessEnergyCounter& previous,
                                const ProcessEnergyCounter& current) {
    if (previous.startTime != current.startTime) return std::nullopt;  // the id was reused
    if (previous.applicationID != current.applicationID) return std::nullopt;
    if (previous.energyNanojoules > current.energyNanojoules) return std::nullopt;
    if (current.sampledAt <= previous.sampledAt) return std::nullopt;
    const std::uint64_t dt = current.sampledAt - previous.sampledAt;
    if (dt < kShortestPairIntervalNanoseconds || dt > kLongestPairIntervalNanoseconds) {
        return std::nullopt;
    }
    return static_cast<double>(current.energyNanojoules - previous.energyNanojoules) /
           static_cast<double>(dt);
}

}  // namespace

void sortApplicationPowerEntries(std::vector<ApplicationPowerEntry>& entries,
                                 const LocalizedNameOrder& nameOrder) {
    // Names decide only between entries of equal (or no) watts; each such name gets its
    // collation key once, so that every comparison after that is a plain byte comparison.
    std::vector<std::optional<std::string>> keys(entries.size());
    const auto key = [&](std::size_t i) -> const std::string& {
        if (!keys[i]) keys[i] = nameOrder.sortKey(entries[i].name);
        return *keys[i];
    };
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
        const ApplicationPowerEntry& a = entries[i];
        const ApplicationPowerEntry& b = entries[j];
        if (a.watts.has_value() != b.watts.has_value()) return a.watts.has_value();
        if (a.watts && *a.watts != *b.watts) return *a.watts > *b.watts;
        if (const int names = key(i).compare(key(j)); names != 0) return names < 0;
        return a.id < b.id;
    });
    std::vector<ApplicationPowerEntry> sorted;
    sorted.reserve(entries.size());
    for (const std::size_t i : order) sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

ApplicationPowerSnapshot makeApplicationPowerSnapshot(
    const ProcessEnergyReading& reading,
    const std::vector<RunningApplicationIdentity>& applications, EnergyBaseline& baseline,
    const LocalizedNameOrder& nameOrder) {
    ApplicationPowerSnapshot snapshot;
    if (reading.errorMessage) {
        snapshot.state = ApplicationPowerSnapshot::State::unavailable(*reading.errorMessage);
        baseline = EnergyBaseline{};
        return snapshot;
    }

    // Both counter maps are ordered by process id: one walk through the two finds every pair.
    std::unordered_map<std::string_view, Measured> measured;
    auto previous = baseline.counters.begin();
    for (const auto& [pid, current] : reading.counters) {
        while (previous != baseline.counters.end() && previous->first < pid) ++previous;
        if (previous == baseline.counters.end()) break;
        if (previous->first != pid) continue;
        if (const std::optional<double> watts = pairWatts(previous->second, current)) {
            Measured& application = measured[current.applicationID];
            application.watts += *watts;
            ++application.processCount;
        }
    }

    snapshot.entries.reserve(applications.size());
    for (const RunningApplicationIdentity& identity : applications) {
        ApplicationPowerEntry entry{identity.id, identity.name, std::nullopt, 0, 0};
        if (const auto found = measured.find(identity.id); found != measured.end()) {
            entry.watts = found->second.watts;
            entry.measuredProcessCount = found->second.processCount;
        }
        if (const auto known = reading.knownProcessCounts.find(identity.id);
            known != reading.knownProcessCounts.end()) {
            entry.knownProcessCount = known->second;
        }
        snapshot.entries.push_back(std::move(entry));
    }
    sortApplicationPowerEntries(snapshot.entries, nameOrder);

    snapshot.state = applications.empty() || !measured.empty()
                         ? ApplicationPowerSnapshot::State::available()
                         : ApplicationPowerSnapshot::State::collecting();
    snapshot.sampleWindowStart = baseline.sampleUptimeNanoseconds;
    if (reading.powerSample) snapshot.sampleWindowEnd = reading.powerSample->uptimeNanoseconds;

    baseline.counters = reading.counters;
    baseline.sampleUptimeNanoseconds = snapshot.sampleWindowEnd;
    return snapshot;
}

}  // namespace pylonix
