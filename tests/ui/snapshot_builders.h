#pragma once

#include "power/power_snapshot.h"

namespace pylonix::testing {

// A reading on battery at 12.5 W, 86 % charged.
inline PowerSnapshot dischargingSnapshot(double watts = 12.5) {
    PowerSnapshot snapshot;
    snapshot.timestamp = wallClockFromSeconds(1765000000.0);
    snapshot.batteryPresent = true;
    snapshot.batteryLevel = 0.86;
    snapshot.batteryPowerWatts = -watts;
    snapshot.voltageVolts = 12.5;
    snapshot.currentAmps = -watts / 12.5;
    snapshot.timeRemainingMinutes = 240;
    snapshot.systemPower = {watts, std::nullopt, SystemPowerReading::Source::batteryDischarge,
                            std::nullopt};
    return snapshot;
}

// A reading on a 96 W adapter, charging at 20 W while the machine draws 15 W.
inline PowerSnapshot chargingSnapshot() {
    PowerSnapshot snapshot;
    snapshot.timestamp = wallClockFromSeconds(1765000000.0);
    snapshot.batteryPresent = true;
    snapshot.externalConnected = true;
    snapshot.isCharging = true;
    snapshot.batteryLevel = 0.42;
    snapshot.batteryPowerWatts = 20.0;
    snapshot.voltageVolts = 12.8;
    snapshot.currentAmps = 1.5625;
    snapshot.adapterWatts = 96.0;
    snapshot.timeRemainingMinutes = 95;
    snapshot.systemPower = {15.0, 35.0, SystemPowerReading::Source::externalInputMinusBattery,
                            std::nullopt};
    return snapshot;
}

}  // namespace pylonix::testing
