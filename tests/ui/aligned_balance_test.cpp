#include "ui/aligned_balance.h"

#include <gtest/gtest.h>

#include "balance_builders.h"
#include "snapshot_builders.h"

namespace pylonix {
namespace {

using testing::availableBalance;
using testing::dischargingSnapshot;
using testing::messageBalance;
using State = PowerBalanceSnapshot::State;

bool isPlaceholder(const PowerBalanceSnapshot& balance) {
    PowerBalanceSnapshot expected;
    expected.state = State::unavailable("供电状态或采样时间已变化，正在重新对齐。");
    return balance == expected;
}

TEST(AlignedBalanceTest, WithinSixSecondsInEitherDirectionIsKept) {
    const PowerSnapshot snapshot = dischargingSnapshot();
    const double now = secondsSince1970(snapshot.timestamp);
    for (const double offset : {-6.0, 0.0, 6.0}) {
        const auto balance = availableBalance(10, 2, wallClockFromSeconds(now + offset));
        EXPECT_EQ(alignedBalance(snapshot, balance), balance) << offset;
    }
    for (const double offset : {-6.01, 6.01}) {
        const auto balance = availableBalance(10, 2, wallClockFromSeconds(now + offset));
        EXPECT_TRUE(isPlaceholder(alignedBalance(snapshot, balance))) << offset;
    }
}

TEST(AlignedBalanceTest, ChangedPowerSituationOrMissingTimeGivesPlaceholder) {
    PowerSnapshot pluggedIn = dischargingSnapshot();
    pluggedIn.externalConnected = true;
    const auto balance = availableBalance(10, 2, pluggedIn.timestamp);
    EXPECT_TRUE(isPlaceholder(alignedBalance(pluggedIn, balance)));

    PowerSnapshot charging = dischargingSnapshot();
    charging.isCharging = true;
    EXPECT_TRUE(isPlaceholder(alignedBalance(charging, balance)));

    auto untimed = availableBalance(10, 2, dischargingSnapshot().timestamp);
    untimed.timestamp.reset();
    EXPECT_TRUE(isPlaceholder(alignedBalance(dischargingSnapshot(), untimed)));
}

TEST(AlignedBalanceTest, BalanceWithoutContextPassesThroughWithItsMessage) {
    PowerSnapshot pluggedIn = dischargingSnapshot();
    pluggedIn.externalConnected = true;
    for (const auto& balance :
         {PowerBalanceSnapshot::collecting(),
          messageBalance(State::unavailable("供电状态已变化，正在重新采样。")),
          messageBalance(State::inconsistent("应用读数异常，暂不计算分项差额。"))}) {
        EXPECT_EQ(alignedBalance(pluggedIn, balance), balance);
    }
}

TEST(AlignedBalanceTest, IncludedOnlyWhenTheSplitIsShown) {
    const WallClockTime t = dischargingSnapshot().timestamp;
    EXPECT_TRUE(isIncludedInBalance(availableBalance(5, 5, t)));
    EXPECT_FALSE(isIncludedInBalance(availableBalance(5, 5.01, t)));
    EXPECT_FALSE(isIncludedInBalance(availableBalance(1000.5, 1, t)));
    auto inconsistent = availableBalance(5, 1, t);
    inconsistent.state =
        State::inconsistent("CPU 估算高于整机读数，暂不计算差额；未调整应用原始数值。");
    inconsistent.applicationCPUWatts.reset();
    EXPECT_FALSE(isIncludedInBalance(inconsistent));
    auto placeholder = availableBalance(5, 1, t);
    PowerSnapshot pluggedIn = dischargingSnapshot();
    pluggedIn.externalConnected = true;
    EXPECT_FALSE(isIncludedInBalance(alignedBalance(pluggedIn, placeholder)));
}

}  // namespace
}  // namespace pylonix
