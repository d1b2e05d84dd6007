#include "power/make_snapshot.h"

#include <cmath>

#include "power/system_power_estimate.h"

namespace pylonix {
namespace {

using battery_values::nested;
using battery_values::readAmperage;
using battery_values::readBool;
using battery_values::readDouble;
using battery_values::readSignedInteger;

template <typename T>
std::optional<T> firstOf(std::optional<T> first, std::optional<T> second) {
    return first ? first : second;
}

std::optional<double> finiteOrNone(double value) {
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

PowerSnapshot makeSnapshot(const BatteryProperties& properties, WallClockTime timestamp) {
    const BatteryProperties& chargerData = nested(properties, "ChargerData");
    const BatteryProperties& batteryData = nested(properties, "BatteryData");
    const BatteryProperties& adapterDetails = nested(properties, "AdapterDetails");

    PowerSnapshot snapshot;
    snapshot.timestamp = timestamp;
    snapshot.batteryPresent = readBool(properties, "BatteryInstalled").value_or(true);
    snapshot.externalConnected = readBool(properties, "ExternalConnected").value_or(false);
    snapshot.isCharging =
        firstOf(readBool(properties, "IsCharging"), readBool(chargerData, "IsCharging"))
            .value_or(false);
    snapshot.isFullyCharged =
        firstOf(readBool(properties, "FullyCharged"), readBool(batteryData, "FullyCharged"))
            .value_or(false);

    if (const auto millivolts = readDouble(properties, "Voltage")) {
        snapshot.voltageVolts = *millivolts / 1000.0;
    }
    if (const auto milliamps = firstOf(readAmperage(properties, "InstantAmperage"),
                                       readAmperage(properties, "Amperage"))) {
        snapshot.currentAmps = static_cast<double>(*milliamps) / 1000.0;
    }

    if (snapshot.voltageVolts && snapshot.currentAmps) {
        // Finite inputs can still overflow; an infinite product is no reading.
        snapshot.batteryPowerWatts = finiteOrNone(*snapshot.currentAmps * *snapshot.voltageVolts);
    } else if (const auto milliwatts = readDouble(batteryData, "BatteryPower")) {
        const double watts = std::fabs(*milliwatts) / 1000.0;
        snapshot.batteryPowerWatts = snapshot.isCharging || watts == 0 ? watts : -watts;
    }

    const auto currentCapacity = firstOf(readDouble(properties, "CurrentCapacity"),
                                         readDouble(batteryData, "CurrentCapacity"));
    const auto maxCapacity =
        firstOf(readDouble(properties, "MaxCapacity"), readDouble(batteryData, "MaxCapacity"));
    if (currentCapacity && maxCapacity && *maxCapacity > 0) {
        const double ratio = *currentCapacity / *maxCapacity;
        if (!std::isnan(ratio)) {
            snapshot.batteryLevel = ratio <= 0 ? 0.0 : (ratio > 1 ? 1.0 : ratio);
        }
    }

    if (const auto watts = readDouble(adapterDetails, "Watts")) {
        snapshot.adapterWatts = *watts;
    } else {
        const auto millivolts = readDouble(adapterDetails, "AdapterVoltage");
        const auto milliamps = readDouble(adapterDetails, "Current");
        if (millivolts && milliamps) {
            snapshot.adapterWatts = finiteOrNone(*millivolts * *milliamps / 1000000.0);
        }
    }

    if (const auto minutes = readSignedInteger(properties, "TimeRemaining");
        minutes && *minutes >= 1 && *minutes < 65535) {
        snapshot.timeRemainingMinutes = *minutes;
    }

    snapshot.systemPower =
        estimate(nested(properties, "PowerTelemetryData"), snapshot.batteryPresent,
                 snapshot.externalConnected, snapshot.batteryPowerWatts);
    if (!snapshot.batteryPresent) snapshot.errorMessage = kNoBatteryInstalledMessage;
    return snapshot;
}

}  // namespace pylonix
