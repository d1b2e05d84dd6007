#pragma once

#include "probe_json.h"

namespace pylonix::probe {

// Runs recorded sampling passes through the computation and the balance exactly as the
// application power monitor does: an empty baseline and sample list at the start; per pass the
// per-application snapshot, then the balance over the sample list ending with the pass's power
// sample (the list restarts with that sample), or no balance and an empty list when the pass has
// none; then the power samples taken after the pass join the list.
//
// `input` is {"passes": [{"applications", "reading", "samplesAfter"}]}; the result is
// {"snapshots": [ApplicationPowerSnapshot]}. InputError for input that cannot be used: wrong
// shapes, numbers out of range, repeated application ids or readings that break their
// invariants.
Json replayPasses(const Json& input);

}  // namespace pylonix::probe
