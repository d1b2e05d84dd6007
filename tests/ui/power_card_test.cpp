#include "ui/power_card.h"

#include <gtest/gtest.h>

#include "balance_builders.h"
#include "snapshot_builders.h"

namespace pylonix {
namespace {

using testing::availableBalance;
using testing::dischargingSnapshot;
using testing::messageBalance;
using State = PowerBalanceSnapshot::State;

TEST(PowerCardTest, AvailableBalanceRoundsHundredthsHalfAwayFromZero) {
    const PowerSnapshot snapshot = dischargingSnapshot(7.5);
    const PowerCard card =
        makePowerCard(snapshot, availableBalance(10.125, 2.5, snapshot.timestamp));
    EXPECT_EQ(card.valueText, "10.13");
    EXPECT_EQ(card.note, "约 2 秒平均 · 不含给电池充电");
    EXPECT_EQ(card.shownWatts, 10.125);
    EXPECT_EQ(card.tint, UiColor::orange);
    EXPECT_EQ(card.valueIdentifier, "system-power-value");
}

TEST(PowerCardTest, UnalignedWindowStillGivesItsAverage) {
    auto balance =
        messageBalance(State::unavailable("应用与整机尚未形成同一采样窗口，分项暂不可用。"));
    balance.totalWatts = 9.87;
    const PowerCard card = makePowerCard(dischargingSnapshot(7.5), balance);
    EXPECT_EQ(card.valueText, "9.87");
    EXPECT_EQ(card.note, "约 2 秒平均 · 不含给电池充电");
    EXPECT_EQ(card.shownWatts, 9.87);
}

TEST(PowerCardTest, CollectingFallsBackToCurrentReading) {
    const PowerCard card =
        makePowerCard(dischargingSnapshot(7.5), PowerBalanceSnapshot::collecting());
    EXPECT_EQ(card.valueText, "7.50");
    EXPECT_EQ(card.note, "当前读数 · 不含给电池充电");
    EXPECT_FALSE(
        makeUnavailableNotice(dischargingSnapshot(7.5), PowerBalanceSnapshot::collecting()));
}

TEST(PowerCardTest, NoFigureAtAllShowsDashAndReason) {
    PowerSnapshot snapshot = dischargingSnapshot();
    snapshot.systemPower = SystemPowerReading::unavailable("等待有效的电池放电读数。");
    const PowerCard card = makePowerCard(snapshot, PowerBalanceSnapshot::collecting());
    EXPECT_EQ(card.valueText, "—");
    EXPECT_EQ(card.note, "整机耗电暂不可用");
    EXPECT_FALSE(card.shownWatts);
    EXPECT_EQ(makeUnavailableNotice(snapshot, PowerBalanceSnapshot::collecting()),
              (InlineNotice{"等待有效的电池放电读数。", InlineNotice::Tone::information}));
    snapshot.systemPower.unavailableReason.reset();
    EXPECT_EQ(makeUnavailableNotice(snapshot, PowerBalanceSnapshot::collecting())->text,
              "整机耗电暂不可用。");
}

TEST(PowerCardTest, FailedReadingShowsErrorNoticeNotUnavailableNotice) {
    const PowerSnapshot failed = unavailableSnapshot("无法读取电池信息。", wallClockFromSeconds(0));
    const PowerCard card = makePowerCard(failed, PowerBalanceSnapshot::collecting());
    EXPECT_EQ(card.valueText, "—");
    EXPECT_EQ(card.tint, UiColor::red);
    EXPECT_FALSE(makeUnavailableNotice(failed, PowerBalanceSnapshot::collecting()));
}

}  // namespace
}  // namespace pylonix
