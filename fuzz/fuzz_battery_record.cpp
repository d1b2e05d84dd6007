// Arbitrary JSON records through the reader's conversion and the estimate.
#include <cstddef>
#include <cstdint>
#include <string>

#include "power/make_snapshot.h"
#include "power/power_formatters.h"
#include "probe_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto json = probe::Json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) return 0;
    const PowerSnapshot snapshot =
        makeSnapshot(probe::batteryPropertiesFromJson(json), wallClockFromSeconds(0));
    // Whatever the record, the snapshot keeps its invariants and formats without fault.
    if (snapshot.batteryLevel && !(*snapshot.batteryLevel >= 0 && *snapshot.batteryLevel <= 1)) {
        __builtin_trap();
    }
    const SystemPowerReading& power = snapshot.systemPower;
    if (power.watts.has_value() != power.source.has_value() ||
        power.watts.has_value() == power.unavailableReason.has_value()) {
        __builtin_trap();
    }
    if (power.watts && !(*power.watts > 0 && *power.watts <= 1000)) __builtin_trap();
    if (snapshot.timeRemainingMinutes) (void)formatRemainingTime(*snapshot.timeRemainingMinutes);
    if (snapshot.batteryPowerWatts) (void)formatWatts(*snapshot.batteryPowerWatts);
    if (snapshot.currentAmps) (void)formatAmps(*snapshot.currentAmps);
    if (snapshot.batteryLevel) (void)formatPercent(*snapshot.batteryLevel);
    (void)probe::toJson(snapshot).dump();
    return 0;
}
