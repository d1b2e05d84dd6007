// Arbitrary replay input through the computation and the balance: unusable input is refused
// with InputError; usable input keeps every record's invariants, and a shown split never has a
// negative other share.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "apppower/power_balance.h"
#include "apppower_json.h"
#include "replay.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

void checkSnapshot(const pylonix::ApplicationPowerSnapshot& snapshot) {
    using namespace pylonix;
    using Case = ApplicationPowerSnapshot::State::Case;
    if (snapshot.state.kind() == Case::unavailable) {
        check(snapshot.entries.empty() && !snapshot.sampleWindowStart && !snapshot.sampleWindowEnd);
    }
    for (const ApplicationPowerEntry& entry : snapshot.entries) {
        check(entry.measuredProcessCount <= entry.knownProcessCount);
        check(entry.watts.has_value() == (entry.measuredProcessCount >= 1));
        if (entry.watts) check(*entry.watts >= 0);
    }
    const PowerBalanceSnapshot& balance = snapshot.balance;
    if (balance.state.kind() == PowerBalanceSnapshot::State::Case::available) {
        check(balance.totalWatts && balance.applicationCPUWatts);
        check(*balance.applicationCPUWatts <= *balance.totalWatts);
        check(*balance.totalWatts > 0 && *balance.totalWatts <= 1000);
        const auto split = splitCentiwatts(*balance.totalWatts, *balance.applicationCPUWatts);
        check(split.has_value());
        check(split->totalCentiwatts - split->applicationCentiwatts >= 0);
    } else {
        check(!balance.applicationCPUWatts);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto json = probe::Json::parse(text, nullptr, false);
    if (json.is_discarded()) return 0;
    std::vector<probe::ReplayPass> passes;
    try {
        passes = probe::replayPassesFromJson(json);
    } catch (const probe::InputError&) {
        return 0;
    }
    for (const ApplicationPowerSnapshot& snapshot : probe::replay(passes)) {
        checkSnapshot(snapshot);
        (void)probe::toJson(snapshot).dump(-1, ' ', false, probe::Json::error_handler_t::replace);
    }
    return 0;
}
