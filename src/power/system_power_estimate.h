#pragma once

#include <optional>

#include "power/battery_properties.h"
#include "power/power_snapshot.h"

namespace pylonix {

namespace estimate_reasons {
inline constexpr const char* kNoBattery = "未检测到内置电池，无法估算整机耗电。";
inline constexpr const char* kBatteryPowerInvalid = "电池功率缺失或异常，暂时无法估算整机耗电。";
inline constexpr const char* kWaitingForDischarge = "等待有效的电池放电读数。";
inline constexpr const char* kTelemetryOutOfRange = "供电遥测异常，等待下一次有效读数。";
inline constexpr const char* kNoActualInput =
    "系统暂未提供实际输入功率；适配器供电能力不能代替实时耗电。";
inline constexpr const char* kInputInconsistent = "输入功率与电压、电流不一致，暂不计算整机耗电。";
inline constexpr const char* kChargeReadingsDisagree = "输入与充放电读数暂不一致，等待重新采样。";
}  // namespace estimate_reasons

// The whole-machine power draw, excluding what goes into charging the battery, from one
// reading: the battery's discharge on battery power, or the measured external input minus
// the net battery power on external power. `telemetry` is the record's PowerTelemetryData.
SystemPowerReading estimate(const BatteryProperties& telemetry, bool batteryPresent,
                            bool externalConnected, std::optional<double> batteryPowerWatts);

}  // namespace pylonix
