#include "ui/power_breakdown.h"

#include <gtest/gtest.h>

#include "balance_builders.h"

namespace pylonix {
namespace {

using testing::availableBalance;
using testing::messageBalance;
using State = PowerBalanceSnapshot::State;

const WallClockTime kTime = wallClockFromSeconds(1765000000.0);

void expectHeaderAndFootnote(const PowerBreakdown& section) {
    EXPECT_EQ(section.title, "耗电分项");
    EXPECT_EQ(section.caption, "同一时段估算");
    EXPECT_EQ(section.footnote,
              "其他项含未归属 CPU、GPU、屏幕、内存、外设及损耗等；按差额估算，未逐项实测。");
}

TEST(PowerBreakdownTest, PartsAddUpToTheShownTotal) {
    const PowerBreakdown section = makePowerBreakdown(availableBalance(12.3456, 3.3344, kTime));
    EXPECT_EQ(section.applicationRow,
              (BreakdownRow{"应用 CPU · 可读取部分", "3.33 W", UiColor::blue}));
    EXPECT_EQ(section.otherRow, (BreakdownRow{"其他／未归属", "9.02 W", UiColor::secondary}));
    ASSERT_TRUE(section.totalRow);
    EXPECT_EQ(*section.totalRow,
              (BreakdownTotalRow{"合计 · 与上方整机耗电一致", "12.35 W", "power-breakdown-total"}));
    EXPECT_FALSE(section.stateLine);
    expectHeaderAndFootnote(section);

    const PowerBreakdown equal = makePowerBreakdown(availableBalance(5, 5, kTime));
    EXPECT_EQ(equal.applicationRow.value, "5.00 W");
    EXPECT_EQ(equal.otherRow.value, "0.00 W");
    EXPECT_EQ(equal.totalRow->value, "5.00 W");
    // Small figures keep their leading zero and both decimals.
    const PowerBreakdown small = makePowerBreakdown(availableBalance(0.07, 0.004, kTime));
    EXPECT_EQ(small.applicationRow.value, "0.00 W");
    EXPECT_EQ(small.otherRow.value, "0.07 W");
}

TEST(PowerBreakdownTest, EveryStateLine) {
    const PowerBreakdown collecting = makePowerBreakdown(PowerBalanceSnapshot::collecting());
    EXPECT_EQ(collecting.applicationRow.value, "—");
    EXPECT_EQ(collecting.otherRow.value, "—");
    EXPECT_EQ(collecting.stateLine,
              (BreakdownStateLine{"正在对齐整机与应用读数，约 2 秒后显示。", UiColor::secondary}));
    expectHeaderAndFootnote(collecting);

    auto window =
        messageBalance(State::unavailable("应用与整机尚未形成同一采样窗口，分项暂不可用。"));
    window.totalWatts = 9.87;
    const PowerBreakdown unavailable = makePowerBreakdown(window);
    EXPECT_EQ(unavailable.applicationRow.value, "—");
    EXPECT_FALSE(unavailable.totalRow);
    EXPECT_EQ(
        unavailable.stateLine,
        (BreakdownStateLine{"应用与整机尚未形成同一采样窗口，分项暂不可用。", UiColor::secondary}));

    const PowerBreakdown inconsistent = makePowerBreakdown(messageBalance(
        State::inconsistent("CPU 估算高于整机读数，暂不计算差额；未调整应用原始数值。")));
    EXPECT_EQ(inconsistent.otherRow.value, "—");
    EXPECT_EQ(inconsistent.stateLine->color, UiColor::orange);
    expectHeaderAndFootnote(inconsistent);
}

TEST(PowerBreakdownTest, AvailableWithoutPresentableSplit) {
    auto noApplication = availableBalance(5, 1, kTime);
    noApplication.applicationCPUWatts.reset();
    for (const auto& balance : {noApplication, availableBalance(1000.5, 1, kTime)}) {
        const PowerBreakdown section = makePowerBreakdown(balance);
        EXPECT_EQ(section.applicationRow.value, "—");
        EXPECT_EQ(section.otherRow.value, "—");
        EXPECT_FALSE(section.totalRow);
        EXPECT_EQ(section.stateLine,
                  (BreakdownStateLine{"暂时无法计算分项。", UiColor::secondary}));
    }
}

}  // namespace
}  // namespace pylonix
