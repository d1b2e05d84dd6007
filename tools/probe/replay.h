#pragma once

#include <vector>

#include "apppower/application_power_model.h"
#include "probe_json.h"

namespace pylonix::probe {

// One recorded sampling pass: the identities it was sampled with, its reading, and the power
// samples taken before the next pass.
struct ReplayPass {
    std::vector<RunningApplicationIdentity> applications;
    ProcessEnergyReading reading;
    std::vector<TimedPowerSample> samplesAfter;
};

// {"passes": [{"applications", "reading", "samplesAfter"}]}. InputError for input that cannot
// be used: wrong shapes, numbers out of range, repeated application ids, readings that break
// their invariants.
std::vector<ReplayPass> replayPassesFromJson(const Json& input);

// Runs the passes through the computation and the balance exactly as the application power
// monitor does: an empty baseline and sample list at the start; per pass the per-application
// snapshot, then the balance over the sample list ending with the pass's power sample (the list
// then restarts with that sample), or no balance and an empty list when the pass has none; then
// the samples taken after the pass join the list.
std::vector<ApplicationPowerSnapshot> replay(const std::vector<ReplayPass>& passes);

// The two above, from input JSON to {"snapshots": [ApplicationPowerSnapshot]}.
Json replayPasses(const Json& input);

}  // namespace pylonix::probe
