#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/platform_texts.h"
#include "power/wall_clock.h"

namespace pylonix {

// The whole-machine power estimate derived from one battery reading. `watts`, `source`
// and the absence of `unavailableReason` always go together.
struct SystemPowerReading {
    enum class Source { externalInputMinusBattery, batteryDischarge };

    std::optional<double> watts;
    std::optional<double> inputWatts;
    std::optional<Source> source;
    std::optional<std::string> unavailableReason;

    bool operator==(const SystemPowerReading&) const = default;

    static SystemPowerReading unavailable(std::string reason) {
        return {std::nullopt, std::nullopt, std::nullopt, std::move(reason)};
    }
};

// The battery and power supply at one instant, in watts, volts, amperes and minutes.
struct PowerSnapshot {
    enum class Status { charging, connectedNotCharging, fullyCharged, discharging, unavailable };

    WallClockTime timestamp;
    bool batteryPresent = false;
    bool externalConnected = false;
    bool isCharging = false;
    bool isFullyCharged = false;
    std::optional<double> batteryLevel;       // 0.0 ... 1.0
    std::optional<double> batteryPowerWatts;  // positive while charging
    std::optional<double> voltageVolts;
    std::optional<double> currentAmps;                 // signed like batteryPowerWatts
    std::optional<double> adapterWatts;                // a rating, never the actual input
    std::optional<std::int64_t> timeRemainingMinutes;  // 1 ... 65534 when present
    std::optional<std::string> errorMessage;
    SystemPowerReading systemPower;

    Status status() const;

    bool operator==(const PowerSnapshot&) const = default;
};

// The reason every failed reading carries in place of a whole-machine figure.
inline constexpr const char* kNoSystemPowerDataReason = platform_texts::kNoSystemPowerData;

// A snapshot for a reading that failed with `message`.
PowerSnapshot unavailableSnapshot(std::string message, WallClockTime timestamp);

// Whether two readings were taken under the same power-supply situation.
struct PowerSourceContext {
    bool externalConnected = false;
    bool isCharging = false;

    static PowerSourceContext of(const PowerSnapshot& snapshot) {
        return {snapshot.externalConnected, snapshot.isCharging};
    }

    bool operator==(const PowerSourceContext&) const = default;
};

// A snapshot stamped with the monotonic uptime clock that also stamps energy counters.
struct TimedPowerSample {
    std::uint64_t uptimeNanoseconds = 0;
    PowerSnapshot snapshot;

    bool operator==(const TimedPowerSample&) const = default;
};

const char* toString(PowerSnapshot::Status status);
const char* toString(SystemPowerReading::Source source);
std::optional<SystemPowerReading::Source> powerSourceFromString(std::string_view name);

}  // namespace pylonix
