#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "apppower/application_power_model.h"
#include "apppower/power_balance_snapshot.h"

namespace pylonix {

inline constexpr const char* kPowerSourceChangedMessage = "供电状态已变化，正在重新采样。";
inline constexpr const char* kSystemPowerMissingMessage = "整机读数缺失，暂不计算分项合计。";
inline constexpr const char* kSampleSeriesFaultyMessage = "采样间隔或读数异常，等待重新采样。";
inline constexpr const char* kWindowsNotAlignedMessage =
    "应用与整机尚未形成同一采样窗口，分项暂不可用。";
inline constexpr const char* kApplicationReadingFaultyMessage = "应用读数异常，暂不计算分项差额。";
inline constexpr const char* kApplicationAboveSystemMessage =
    "CPU 估算高于整机读数，暂不计算差额；未调整应用原始数值。";

// The whole-machine average power over the window of `samples` (in time order), integrated by
// the trapezoid rule, set beside the application CPU total of `application`, whose window must
// be exactly the samples' first and last uptimes. Refuses, with its reason, whenever the series
// is too short or irregular, the power supply changed, a reading is missing, or the two sides
// contradict each other.
PowerBalanceSnapshot makePowerBalance(std::span<const TimedPowerSample> samples,
                                      const ApplicationPowerSnapshot& application);

// A whole-machine figure and its application CPU part, in hundredths of a watt, rounded so that
// the shown application part, other part (`totalCentiwatts` − `applicationCentiwatts`, never
// negative) and total add up exactly. Nothing when `total` is not in (0, 1000] W, `app` is not
// finite or negative, or `app` exceeds `total`.
struct CentiwattSplit {
    std::int64_t totalCentiwatts = 0;
    std::int64_t applicationCentiwatts = 0;

    bool operator==(const CentiwattSplit&) const = default;
};
std::optional<CentiwattSplit> splitCentiwatts(double total, double app);

}  // namespace pylonix
