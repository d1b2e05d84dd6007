#pragma once

// The value records of application energy: what one sampling pass reads about processes, how a
// process is tied to a running application, and the per-application result the panel shows.
//
// Units: energy in nanojoules and sampling times in monotonic uptime nanoseconds, both unsigned
// 64-bit; one nanojoule per nanosecond is one watt.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "apppower/case_with_message.h"
#include "apppower/power_balance_snapshot.h"
#include "power/power_snapshot.h"

namespace pylonix {

// One running application as the panel groups it. `id` is the absolute path of its outermost
// application bundle (letter case as the platform reports it); instances whose bundles reduce
// to the same path are one identity.
struct RunningApplicationIdentity {
    std::string id;
    std::string name;
    std::set<std::int32_t> processIDs;

    bool operator==(const RunningApplicationIdentity&) const = default;
};

// What the sampler learned about one process of the current user.
struct ApplicationProcessMetadata {
    std::int32_t pid = 0;        // at least 1
    std::int32_t parentPID = 0;  // 0 when the platform did not return the full process record
    std::optional<std::string> executablePath;

    bool operator==(const ApplicationProcessMetadata&) const = default;
};

// Process id to metadata, and process id to application id.
using ProcessMetadataTable = std::unordered_map<std::int32_t, ApplicationProcessMetadata>;
using ProcessAttribution = std::unordered_map<std::int32_t, std::string>;

// One process's cumulative energy counter as read in one pass.
struct ProcessEnergyCounter {
    std::int32_t pid = 0;
    std::string applicationID;
    std::uint64_t startTime = 0;  // tells a process from a later one that reuses its id
    std::uint64_t energyNanojoules = 0;
    std::uint64_t sampledAt = 0;  // uptime nanoseconds, shared by every counter of a pass

    bool operator==(const ProcessEnergyCounter&) const = default;
};

using ProcessEnergyCounters = std::map<std::int32_t, ProcessEnergyCounter>;

// The result of one sampling pass.
//
// Invariants (see `processEnergyReadingProblem`):
// - with `errorMessage`, `counters` and `knownProcessCounts` are empty and `powerSample` is
//   present, stamped with the uptime at which the failure was detected;
// - without, every counter has the same `sampledAt`, and a `powerSample` (present only when
//   read within 100 ms of it) carries that `sampledAt` as its uptime;
// - every counter's application is a key of `knownProcessCounts`, and no application has more
//   counters than its known count.
struct ProcessEnergyReading {
    ProcessEnergyCounters counters;
    std::map<std::string, std::int64_t> knownProcessCounts;
    std::optional<std::string> errorMessage;
    std::optional<TimedPowerSample> powerSample;

    bool operator==(const ProcessEnergyReading&) const = default;
};

// One application's line in the result. `watts` is present exactly when
// `measuredProcessCount` is at least 1, and is then zero or positive;
// `measuredProcessCount` never exceeds `knownProcessCount`.
struct ApplicationPowerEntry {
    std::string id;
    std::string name;
    std::optional<double> watts;
    std::int64_t measuredProcessCount = 0;
    std::int64_t knownProcessCount = 0;

    bool operator==(const ApplicationPowerEntry&) const = default;
};

// The published result of one pass. `state` and `entries` are fixed when made; the window and
// `balance` are filled in afterwards by the monitor.
struct ApplicationPowerSnapshot {
    enum class StateCase { unavailable, collecting, available };

    // `unavailable` carries the failed reading's message.
    class State : public CaseWithMessage<StateCase> {
      public:
        using Case = StateCase;

        static State unavailable(std::string message) {
            return {Case::unavailable, std::move(message)};
        }
        static State collecting() { return {Case::collecting, std::nullopt}; }
        static State available() { return {Case::available, std::nullopt}; }

        bool operator==(const State&) const = default;

      private:
        using CaseWithMessage::CaseWithMessage;
    };

    State state = State::collecting();
    std::vector<ApplicationPowerEntry> entries;  // empty when unavailable
    std::optional<std::uint64_t> sampleWindowStart;
    std::optional<std::uint64_t> sampleWindowEnd;
    PowerBalanceSnapshot balance = PowerBalanceSnapshot::collecting();

    bool operator==(const ApplicationPowerSnapshot&) const = default;

    // Before the first pass completes and whenever sampling restarts.
    static ApplicationPowerSnapshot collecting() { return {}; }
};

const char* toString(ApplicationPowerSnapshot::State::Case kind);

// What the monitor carries from one pass to the next.
struct EnergyBaseline {
    ProcessEnergyCounters counters;  // the previous successful pass's counters
    std::optional<std::uint64_t> sampleUptimeNanoseconds;

    bool operator==(const EnergyBaseline&) const = default;
};

// The pairing window of a power sample: read within this long of the counters' `sampledAt`.
inline constexpr std::uint64_t kPowerSamplePairingNanoseconds = 100'000'000;

// The first invariant of the reading that does not hold, in words; nothing when all hold.
std::optional<std::string> processEnergyReadingProblem(const ProcessEnergyReading& reading);

// The first invariant of an identity list that does not hold (every id non-empty and unique).
std::optional<std::string> identityListProblem(
    const std::vector<RunningApplicationIdentity>& applications);

}  // namespace pylonix
