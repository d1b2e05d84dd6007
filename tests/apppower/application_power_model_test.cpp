#include "apppower/application_power_model.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

TEST(ApplicationPowerStates, PayloadsTakePartInEquality) {
    using State = ApplicationPowerSnapshot::State;
    EXPECT_NE(State::unavailable("a"), State::unavailable("b"));
    EXPECT_EQ(State::unavailable("a"), State::unavailable("a"));
    EXPECT_EQ(State::collecting(), State::collecting());
    EXPECT_NE(State::collecting(), State::available());
    EXPECT_EQ(State::collecting().message(), std::nullopt);
    using Balance = PowerBalanceSnapshot::State;
    EXPECT_NE(Balance::unavailable("a"), Balance::inconsistent("a"));
    EXPECT_EQ(ApplicationPowerSnapshot::collecting().balance, PowerBalanceSnapshot::collecting());
}

ProcessEnergyReading goodReading() {
    ProcessEnergyReading reading;
    reading.counters[10] = {10, "/A.app", 1, 5, 100};
    reading.counters[11] = {11, "/A.app", 1, 5, 100};
    reading.knownProcessCounts = {{"/A.app", 3}, {"/B.app", 1}};
    reading.powerSample = TimedPowerSample{100, {}};
    return reading;
}

TEST(ProcessEnergyReadingInvariants, NamesTheFirstBrokenRule) {
    EXPECT_EQ(processEnergyReadingProblem(goodReading()), std::nullopt);

    auto r = goodReading();
    r.counters[11].sampledAt = 101;
    EXPECT_TRUE(processEnergyReadingProblem(r));
    r = goodReading();
    r.powerSample->uptimeNanoseconds = 99;
    EXPECT_TRUE(processEnergyReadingProblem(r));
    r = goodReading();
    r.knownProcessCounts["/A.app"] = 1;  // two counters, one known process
    EXPECT_TRUE(processEnergyReadingProblem(r));
    r = goodReading();
    r.counters[12] = {12, "/C.app", 1, 5, 100};
    EXPECT_TRUE(processEnergyReadingProblem(r));
    r = goodReading();
    r.counters[13] = {14, "/A.app", 1, 5, 100};
    EXPECT_TRUE(processEnergyReadingProblem(r));
    r = goodReading();
    r.knownProcessCounts["/B.app"] = -1;
    EXPECT_TRUE(processEnergyReadingProblem(r));

    ProcessEnergyReading failed;
    failed.errorMessage = "x";
    EXPECT_TRUE(processEnergyReadingProblem(failed));  // without its power sample
    failed.powerSample = TimedPowerSample{};
    EXPECT_EQ(processEnergyReadingProblem(failed), std::nullopt);
    failed.knownProcessCounts["/A.app"] = 1;
    EXPECT_TRUE(processEnergyReadingProblem(failed));
}

TEST(IdentityListInvariants, IdsAreNonEmptyAndUnique) {
    EXPECT_EQ(identityListProblem({{"/A.app", "A", {}}, {"/B.app", "B", {}}}), std::nullopt);
    EXPECT_TRUE(identityListProblem({{"/A.app", "A", {}}, {"/A.app", "A2", {}}}));
    EXPECT_TRUE(identityListProblem({{"", "A", {}}}));
}

}  // namespace
}  // namespace pylonix
