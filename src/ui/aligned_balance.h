#pragma once

#include "apppower/power_balance_snapshot.h"
#include "power/power_snapshot.h"

namespace pylonix {

// The longest time between the balance window's last reading and the shown snapshot for the
// two to count as the same moment.
inline constexpr double kBalanceAlignmentSeconds = 6.0;

inline constexpr const char* kRealignmentMessage = "供电状态或采样时间已变化，正在重新对齐。";

// The balance as the panel shows it beside `snapshot`: unchanged while it was taken under the
// snapshot's power situation and within 6 s of it, else a placeholder that says so.
PowerBalanceSnapshot alignedBalance(const PowerSnapshot& snapshot,
                                    const PowerBalanceSnapshot& balance);

// Whether the breakdown lists the application CPU total as one of its parts.
bool isIncludedInBalance(const PowerBalanceSnapshot& alignedBalance);

}  // namespace pylonix
