#pragma once

#include "power/battery_properties.h"
#include "power/power_snapshot.h"

namespace pylonix {

inline constexpr const char* kNoBatteryInstalledMessage = "未检测到内置电池。";

// The snapshot of a battery controller record that was read successfully: the controller's
// milli-units converted once, the level clamped to 0...1, and the whole-machine estimate
// attached. A missing or malformed property only leaves its field absent (or false).
PowerSnapshot makeSnapshot(const BatteryProperties& properties, WallClockTime timestamp);

}  // namespace pylonix
