#include "platform/linux/processes/energy_ledger.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

TEST(EnergyLedgerTest, SplitsTheEnergyByCpuTimeAndLeavesIdleToNobody) {
    EnergyLedger ledger;
    ledger.beginPoll(1000, 5'000'000'000);
    EXPECT_EQ(ledger.record(10, 7, 100), 0u);  // first sight: 0
    EXPECT_EQ(ledger.record(11, 8, 50), 0u);
    ledger.endPoll();

    // 200 ticks of machine time, 4 J: process 10 used 50 ticks (a quarter), 11 used 100.
    ledger.beginPoll(1200, 9'000'000'000);
    EXPECT_EQ(ledger.record(10, 7, 150), 1'000'000'000u);
    EXPECT_EQ(ledger.record(11, 8, 150), 2'000'000'000u);
    ledger.endPoll();

    // The idle half of the next interval is no one's; counters add up.
    ledger.beginPoll(1400, 11'000'000'000);
    EXPECT_EQ(ledger.record(10, 7, 200), 1'500'000'000u);
    EXPECT_EQ(ledger.record(11, 8, 200), 2'500'000'000u);
    ledger.endPoll();
    EXPECT_EQ(ledger.counter(10, 7), 1'500'000'000u);
}

TEST(EnergyLedgerTest, ANewProcessUnderAnOldIdStartsAtZeroAndEndedOnesAreDropped) {
    EnergyLedger ledger;
    ledger.beginPoll(1000, 0);
    ledger.record(10, 7, 100);
    ledger.record(11, 8, 100);
    ledger.endPoll();
    ledger.beginPoll(1100, 1'000'000'000);
    EXPECT_EQ(ledger.record(10, 9, 120), 0u);  // same id, later start: another process
    ledger.endPoll();                          // 11 was not seen: it ended
    EXPECT_EQ(ledger.size(), 1u);
    EXPECT_FALSE(ledger.counter(11, 8));
    EXPECT_FALSE(ledger.counter(10, 7));
    EXPECT_EQ(ledger.counter(10, 9), 0u);
}

TEST(EnergyLedgerTest, NothingGrowsWithoutEnergyElapsedTimeOrProgress) {
    EnergyLedger ledger;
    ledger.beginPoll(1000, std::nullopt);  // the energy file is unreadable
    ledger.record(10, 7, 100);
    ledger.endPoll();
    ledger.beginPoll(1100, std::nullopt);
    EXPECT_EQ(ledger.record(10, 7, 200), 0u);
    ledger.endPoll();

    // Energy becomes readable: the first readable poll is only a baseline.
    ledger.beginPoll(1200, 1'000'000'000);
    EXPECT_EQ(ledger.record(10, 7, 300), 0u);
    ledger.endPoll();

    // No machine time elapsed (a suspend): nothing, and the counter does not go back.
    ledger.beginPoll(1200, 2'000'000'000);
    EXPECT_EQ(ledger.record(10, 7, 300), 0u);
    ledger.endPoll();

    ledger.beginPoll(1300, 3'000'000'000);
    EXPECT_EQ(ledger.record(10, 7, 400), 1'000'000'000u);  // the whole interval: all of it
    ledger.endPoll();

    // A process's CPU time that appears to shrink, or a share above one, never takes or
    // over-attributes energy.
    ledger.beginPoll(1400, 4'000'000'000);
    EXPECT_EQ(ledger.record(10, 7, 350), 1'000'000'000u);
    ledger.endPoll();
    ledger.beginPoll(1500, 5'000'000'000);
    EXPECT_EQ(ledger.record(10, 7, 900), 2'000'000'000u);
    ledger.endPoll();
}

}  // namespace
}  // namespace pylonix::linux_platform
