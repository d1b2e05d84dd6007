#pragma once

#include <string>

#include "platform/linux/processes/rapl_energy_meter.h"

namespace pylonix::linux_platform {

// The application section's sentence when the processor's energy cannot be read: where a
// counter exists but is closed to this user, how to be let in (the system group the package's
// udev rule gives read access to, then a new login); where there is none, that the computer
// provides none.
std::string energyAccessMessage(RaplEnergyMeter::Access access);

}  // namespace pylonix::linux_platform
