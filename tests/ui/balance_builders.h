#pragma once

#include "apppower/power_balance_snapshot.h"
#include "power/power_snapshot.h"

namespace pylonix::testing {

// An available balance over a window that ended at `timestamp` on battery.
inline PowerBalanceSnapshot availableBalance(double total, double application,
                                             WallClockTime timestamp) {
    PowerBalanceSnapshot balance;
    balance.state = PowerBalanceSnapshot::State::available();
    balance.totalWatts = total;
    balance.applicationCPUWatts = application;
    balance.sourceContext = PowerSourceContext{false, false};
    balance.source = SystemPowerReading::Source::batteryDischarge;
    balance.timestamp = timestamp;
    balance.durationSeconds = 2.0;
    return balance;
}

inline PowerBalanceSnapshot messageBalance(PowerBalanceSnapshot::State state) {
    PowerBalanceSnapshot balance;
    balance.state = std::move(state);
    return balance;
}

}  // namespace pylonix::testing
