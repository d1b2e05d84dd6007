#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "apppower/process_record.h"
#include "common/platform_texts.h"

namespace pylonix {

// The platform's process table as the energy sampler reads it: one call, one pass of records.
// A platform reads its sources once per pass and fills the records; the sampler attributes
// and counts them. Used from one thread at a time (the sampler's worker); it may keep what
// does not change during a process's life between passes.
class ProcessSource {
  public:
    using Pass = std::variant<ProcessPass, ProcessListFailure>;

    virtual ~ProcessSource() = default;

    // The user's processes now, or why they cannot be listed.
    virtual Pass readPass() = 0;

    // Monotonic uptime in nanoseconds; does not advance while the machine sleeps.
    virtual std::uint64_t uptimeNanoseconds() const = 0;

    // The sentence for a pass in which no process's energy could be read: why, where the
    // platform can tell (a counter closed to this user, say, and the remedy).
    virtual std::string energyUnavailableMessage() const {
        return platform_texts::kNoApplicationEnergyData;
    }
};

}  // namespace pylonix
