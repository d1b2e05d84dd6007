#pragma once

#include "power/power_snapshot.h"

namespace pylonix {

// Where battery and power-supply readings come from. `read` is synchronous and never fails:
// every failure travels inside the snapshot.
class PowerReading {
  public:
    virtual ~PowerReading() = default;
    virtual PowerSnapshot read() const = 0;
};

}  // namespace pylonix
