#include "ui/aligned_balance.h"

#include <cmath>

#include "ui/power_breakdown.h"

namespace pylonix {

PowerBalanceSnapshot alignedBalance(const PowerSnapshot& snapshot,
                                    const PowerBalanceSnapshot& balance) {
    if (!balance.sourceContext) return balance;
    const bool matches =
        balance.timestamp && *balance.sourceContext == PowerSourceContext::of(snapshot) &&
        std::fabs(secondsSince1970(*balance.timestamp) - secondsSince1970(snapshot.timestamp)) <=
            kBalanceAlignmentSeconds;
    if (matches) return balance;
    PowerBalanceSnapshot placeholder;
    placeholder.state = PowerBalanceSnapshot::State::unavailable(kRealignmentMessage);
    return placeholder;
}

bool isIncludedInBalance(const PowerBalanceSnapshot& alignedBalance) {
    return shownSplit(alignedBalance).has_value();
}

}  // namespace pylonix
