#pragma once

#include <cstdint>
#include <vector>

#include "apppower/application_power_model.h"
#include "apppower/localized_name_order.h"

namespace pylonix {

// A counter pair closer in time than this, or farther apart than that, is not used; both limits
// are inclusive.
inline constexpr std::uint64_t kShortestPairIntervalNanoseconds = 100'000'000;
inline constexpr std::uint64_t kLongestPairIntervalNanoseconds = 10'000'000'000;

// The per-application result of `reading`, sampled with `applications`, against the counters of
// the pass before it in `baseline`; then `baseline` becomes this pass's. One entry per identity,
// with the average CPU power of its processes over the window, ordered for display: entries
// with watts first, larger first; then names in `nameOrder`; then ids. The balance is left
// collecting for the caller to fill in.
ApplicationPowerSnapshot makeApplicationPowerSnapshot(
    const ProcessEnergyReading& reading,
    const std::vector<RunningApplicationIdentity>& applications, EnergyBaseline& baseline,
    const LocalizedNameOrder& nameOrder = LocalizedNameOrder::forUserLocale());

// Sorts entries into display order (see above).
void sortApplicationPowerEntries(std::vector<ApplicationPowerEntry>& entries,
                                 const LocalizedNameOrder& nameOrder);

}  // namespace pylonix
