#include "apppower/make_application_power_snapshot.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

using State = ApplicationPowerSnapshot::State;

const LocalizedNameOrder& englishOrder() {
    static const LocalizedNameOrder order("en_US");
    return order;
}

ProcessEnergyCounter counter(std::int32_t pid, std::string app, std::uint64_t energy,
                             std::uint64_t at, std::uint64_t start = 1) {
    return {pid, std::move(app), start, energy, at};
}

ProcessEnergyReading readingOf(std::vector<ProcessEnergyCounter> counters, std::uint64_t at,
                               std::map<std::string, std::int64_t> known = {}) {
    ProcessEnergyReading reading;
    const bool countKnown = known.empty();
    for (auto& c : counters) {
        if (countKnown) ++known[c.applicationID];
        reading.counters.emplace(c.pid, std::move(c));
    }
    reading.knownProcessCounts = std::move(known);
    reading.powerSample = TimedPowerSample{at, {}};
    return reading;
}

class ComputationTest : public testing::Test {
  protected:
    ApplicationPowerSnapshot make(const ProcessEnergyReading& reading) {
        return makeApplicationPowerSnapshot(reading, applications, baseline, englishOrder());
    }

    const ApplicationPowerEntry& entry(const ApplicationPowerSnapshot& snapshot,
                                       const std::string& id) {
        for (const auto& e : snapshot.entries) {
            if (e.id == id) return e;
        }
        throw std::runtime_error("no entry " + id);
    }

    std::vector<RunningApplicationIdentity> applications = {
        {"/A.app", "Mail", {10}}, {"/B.app", "Browser", {20}}, {"/C.app", "Clock", {30}}};
    EnergyBaseline baseline;
};

TEST_F(ComputationTest, FirstPassCollectsWithEveryApplicationSortedByName) {
    const auto snapshot =
        make(readingOf({counter(10, "/A.app", 5, 1'000), counter(11, "/A.app", 5, 1'000),
                        counter(20, "/B.app", 5, 1'000)},
                       1'000, {{"/A.app", 2}, {"/B.app", 1}, {"/C.app", 3}}));
    EXPECT_EQ(snapshot.state, State::collecting());
    ASSERT_EQ(snapshot.entries.size(), 3u);
    EXPECT_EQ(snapshot.entries[0],
              (ApplicationPowerEntry{"/B.app", "Browser", std::nullopt, 0, 1}));
    EXPECT_EQ(snapshot.entries[1].id, "/C.app");
    EXPECT_EQ(snapshot.entries[1].knownProcessCount, 3);
    EXPECT_EQ(snapshot.entries[2].knownProcessCount, 2);
    EXPECT_EQ(snapshot.sampleWindowStart, std::nullopt);
    EXPECT_EQ(snapshot.sampleWindowEnd, 1'000u);
    EXPECT_EQ(snapshot.balance, PowerBalanceSnapshot::collecting());
    EXPECT_EQ(baseline.counters.size(), 3u);
    EXPECT_EQ(baseline.sampleUptimeNanoseconds, 1'000u);
}

TEST_F(ComputationTest, WattsAreEnergyOverTimeSummedPerApplication) {
    make(readingOf(
        {counter(10, "/A.app", 0, 0), counter(11, "/A.app", 100, 0), counter(20, "/B.app", 7, 0)},
        0));
    const auto snapshot = make(readingOf({counter(10, "/A.app", 600'000'000, 2'000'000'000),
                                          counter(11, "/A.app", 400'000'100, 2'000'000'000),
                                          counter(20, "/B.app", 7, 2'000'000'000)},
                                         2'000'000'000));
    EXPECT_EQ(snapshot.state, State::available());
    EXPECT_DOUBLE_EQ(*entry(snapshot, "/A.app").watts, 0.5);  // 0.3 W + 0.2 W
    EXPECT_EQ(entry(snapshot, "/A.app").measuredProcessCount, 2);
    EXPECT_EQ(entry(snapshot, "/B.app").watts, 0.0);  // unchanged energy is measured at 0 W
    EXPECT_EQ(entry(snapshot, "/B.app").measuredProcessCount, 1);
    EXPECT_EQ(entry(snapshot, "/C.app").watts, std::nullopt);
    EXPECT_EQ(snapshot.sampleWindowStart, 0u);
    EXPECT_EQ(snapshot.sampleWindowEnd, 2'000'000'000u);
}

TEST_F(ComputationTest, PairingIntervalLimitsAreInclusive) {
    const auto pairedAfter = [&](std::uint64_t dt) {
        baseline = {};
        make(readingOf({counter(10, "/A.app", 0, 1'000)}, 1'000));
        const auto snapshot = make(readingOf({counter(10, "/A.app", dt, 1'000 + dt)}, 1'000 + dt));
        return entry(snapshot, "/A.app").watts;
    };
    EXPECT_EQ(pairedAfter(100'000'000), 1.0);
    EXPECT_EQ(pairedAfter(99'999'999), std::nullopt);
    EXPECT_EQ(pairedAfter(50'000'000), std::nullopt);
    EXPECT_EQ(pairedAfter(10'000'000'000), 1.0);
    EXPECT_EQ(pairedAfter(10'000'000'001), std::nullopt);
    EXPECT_EQ(pairedAfter(12'000'000'000), std::nullopt);
    EXPECT_EQ(pairedAfter(0), std::nullopt);
}

TEST_F(ComputationTest, PairsOfOtherProcessesOrBackwardCountersAreNotUsed) {
    make(readingOf({counter(10, "/A.app", 500, 0, 1), counter(20, "/B.app", 500, 0),
                    counter(30, "/C.app", 500, 5'000'000'000)},
                   0));
    const auto snapshot = make(
        readingOf({counter(10, "/A.app", 900, 1'000'000'000, 2),  // a new process reusing the id
                   counter(20, "/A.app", 900, 1'000'000'000),     // now attributed elsewhere
                   counter(30, "/C.app", 900, 1'000'000'000)},    // sampled "before" its baseline
                  1'000'000'000, {{"/B.app", 1}, {"/A.app", 3}}));
    EXPECT_EQ(snapshot.state, State::collecting());
    EXPECT_EQ(entry(snapshot, "/A.app").measuredProcessCount, 0);
    EXPECT_EQ(entry(snapshot, "/A.app").knownProcessCount, 3);

    const auto backwards =
        make(readingOf({counter(10, "/A.app", 100, 2'000'000'000, 2)}, 2'000'000'000));
    EXPECT_EQ(entry(backwards, "/A.app").watts, std::nullopt);
}

TEST_F(ComputationTest, FailedPassEmptiesTheBaselineAndTheNextPassCollects) {
    make(readingOf({counter(10, "/A.app", 0, 0)}, 0));
    ProcessEnergyReading failed;
    failed.errorMessage = "系统暂不允许读取应用能耗。";
    failed.powerSample = TimedPowerSample{1'000'000'000, {}};
    const auto snapshot = make(failed);
    EXPECT_EQ(snapshot.state, State::unavailable("系统暂不允许读取应用能耗。"));
    EXPECT_TRUE(snapshot.entries.empty());
    EXPECT_EQ(snapshot.sampleWindowStart, std::nullopt);
    EXPECT_EQ(snapshot.sampleWindowEnd, std::nullopt);
    EXPECT_EQ(baseline, EnergyBaseline{});
    const auto next = make(readingOf({counter(10, "/A.app", 9, 2'000'000'000)}, 2'000'000'000));
    EXPECT_EQ(next.state, State::collecting());
}

TEST_F(ComputationTest, PassWithoutPowerSampleKeepsCountersButNotTheWindowStart) {
    make(readingOf({counter(10, "/A.app", 0, 0)}, 0));
    ProcessEnergyReading noSample =
        readingOf({counter(10, "/A.app", 2'000'000'000, 2'000'000'000)}, 0);
    noSample.powerSample.reset();
    const auto second = make(noSample);
    EXPECT_EQ(entry(second, "/A.app").watts, 1.0);
    EXPECT_EQ(second.sampleWindowStart, 0u);
    EXPECT_EQ(second.sampleWindowEnd, std::nullopt);
    EXPECT_EQ(baseline.sampleUptimeNanoseconds, std::nullopt);
    const auto third =
        make(readingOf({counter(10, "/A.app", 4'000'000'000, 4'000'000'000)}, 4'000'000'000));
    EXPECT_EQ(third.sampleWindowStart, std::nullopt);
    EXPECT_EQ(entry(third, "/A.app").watts, 1.0);
}

TEST_F(ComputationTest, NoRunningApplicationsIsAvailableAndEmpty) {
    applications.clear();
    const auto snapshot = make(readingOf({}, 0));
    EXPECT_EQ(snapshot.state, State::available());
    EXPECT_TRUE(snapshot.entries.empty());
}

std::vector<std::string> namesInOrder(std::vector<ApplicationPowerEntry> entries,
                                      const LocalizedNameOrder& order = englishOrder()) {
    sortApplicationPowerEntries(entries, order);
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    return names;
}

TEST(ApplicationPowerOrder, WattsFirstThenCaseInsensitiveNamesThenIds) {
    const std::vector<ApplicationPowerEntry> entries = {
        {"/1", "Beta", 1.2, 1, 1},
        {"/2", "None", std::nullopt, 0, 1},
        {"/3", "Gamma", 3.4, 1, 1},
        {"/4", "alpha", 1.2, 1, 1},
    };
    EXPECT_EQ(namesInOrder(entries), (std::vector<std::string>{"Gamma", "alpha", "Beta", "None"}));
}

TEST(ApplicationPowerOrder, DigitRunsCompareByValueAndEqualNamesByIdWhateverTheInput) {
    std::vector<ApplicationPowerEntry> entries = {
        {"/z", "Item 10", std::nullopt, 0, 0}, {"/y", "item 2", std::nullopt, 0, 0},
        {"/b", "Editor", std::nullopt, 0, 0},  {"/a", "EDITOR", std::nullopt, 0, 0},
        {"/c", "Item 9", std::nullopt, 0, 0},
    };
    const std::vector<std::string> expected = {"EDITOR", "Editor", "item 2", "Item 9", "Item 10"};
    EXPECT_EQ(namesInOrder(entries), expected);
    std::reverse(entries.begin(), entries.end());
    EXPECT_EQ(namesInOrder(entries), expected);
}

TEST(ApplicationPowerOrder, FollowsTheLocale) {
    // Swedish sorts "ö" after "z"; German sorts it with "o".
    const std::vector<ApplicationPowerEntry> entries = {{"/1", "\xC3\xB6l", std::nullopt, 0, 0},
                                                        {"/2", "zeta", std::nullopt, 0, 0},
                                                        {"/3", "oz", std::nullopt, 0, 0}};
    EXPECT_EQ(namesInOrder(entries, LocalizedNameOrder("sv_SE")),
              (std::vector<std::string>{"oz", "zeta", "\xC3\xB6l"}));
    EXPECT_EQ(namesInOrder(entries, LocalizedNameOrder("de_DE")),
              (std::vector<std::string>{"\xC3\xB6l", "oz", "zeta"}));
}

}  // namespace
}  // namespace pylonix
