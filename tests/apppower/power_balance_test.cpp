#include "apppower/power_balance.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

using State = PowerBalanceSnapshot::State;
using Source = SystemPowerReading::Source;

// A refusal: the state and no other field.
PowerBalanceSnapshot refusal(PowerBalanceSnapshot::State state) {
    PowerBalanceSnapshot balance;
    balance.state = std::move(state);
    return balance;
}

constexpr std::uint64_t kHalfSecond = 500'000'000;
constexpr std::uint64_t kStart = 7'000'000'000;

TimedPowerSample sample(std::uint64_t uptime, std::optional<double> watts,
                        bool externalConnected = false) {
    TimedPowerSample s;
    s.uptimeNanoseconds = uptime;
    s.snapshot.timestamp =
        wallClockFromSeconds(1'765'000'000.0 + static_cast<double>(uptime) / 1e9);
    s.snapshot.externalConnected = externalConnected;
    s.snapshot.systemPower.watts = watts;
    if (watts) s.snapshot.systemPower.source = Source::batteryDischarge;
    return s;
}

// Samples 0.5 s apart from kStart with the given watts.
std::vector<TimedPowerSample> series(std::vector<double> watts) {
    std::vector<TimedPowerSample> samples;
    for (std::size_t i = 0; i < watts.size(); ++i)
        samples.push_back(sample(kStart + i * kHalfSecond, watts[i]));
    return samples;
}

// An application snapshot whose window matches `samples`.
ApplicationPowerSnapshot applicationFor(const std::vector<TimedPowerSample>& samples,
                                        std::vector<std::optional<double>> watts) {
    ApplicationPowerSnapshot application;
    application.state = ApplicationPowerSnapshot::State::available();
    for (std::size_t i = 0; i < watts.size(); ++i) {
        application.entries.push_back(
            {"/" + std::to_string(i), "App", watts[i], watts[i] ? 1 : 0, 1});
    }
    application.sampleWindowStart = samples.front().uptimeNanoseconds;
    application.sampleWindowEnd = samples.back().uptimeNanoseconds;
    return application;
}

TEST(PowerBalance, WorkedExampleIntegratesByTheTrapezoidRule) {
    const auto samples = series({10, 12, 12, 10, 10});
    const auto balance =
        makePowerBalance(samples, applicationFor(samples, {3.0, std::nullopt, 2.5}));
    EXPECT_EQ(balance.state, State::available());
    EXPECT_DOUBLE_EQ(*balance.totalWatts, 11.0);  // 22 J over 2 s
    EXPECT_EQ(balance.applicationCPUWatts, 5.5);
    EXPECT_EQ(balance.sourceContext, (PowerSourceContext{false, false}));
    EXPECT_EQ(balance.source, Source::batteryDischarge);
    EXPECT_EQ(balance.timestamp, samples.back().snapshot.timestamp);
    EXPECT_EQ(balance.durationSeconds, 2.0);
}

TEST(PowerBalance, CollectsUntilTheSeriesSpansASuitableWindow) {
    const auto two = series({10, 10});
    EXPECT_EQ(makePowerBalance(two, applicationFor(two, {})), PowerBalanceSnapshot::collecting());
    EXPECT_EQ(makePowerBalance({}, ApplicationPowerSnapshot::collecting()),
              PowerBalanceSnapshot::collecting());

    auto backwards = series({10, 10, 10});
    std::swap(backwards.front(), backwards.back());
    EXPECT_EQ(makePowerBalance(backwards, applicationFor(backwards, {})),
              PowerBalanceSnapshot::collecting());

    // A middle sample out of order inside an otherwise good window.
    auto shuffled = series({10, 10, 10, 10});
    std::swap(shuffled[1], shuffled[2]);
    EXPECT_EQ(makePowerBalance(shuffled, applicationFor(shuffled, {})),
              PowerBalanceSnapshot::collecting());

    const auto windowOf = [](std::uint64_t lengthNs) {
        const std::vector<TimedPowerSample> s = {
            sample(kStart, 10), sample(kStart + lengthNs / 2, 10), sample(kStart + lengthNs, 10)};
        return makePowerBalance(s, applicationFor(s, {})).state;
    };
    EXPECT_EQ(windowOf(99'999'999), State::collecting());
    EXPECT_EQ(windowOf(100'000'000), State::available());
    EXPECT_EQ(windowOf(10'000'000'002), State::collecting());
    std::vector<TimedPowerSample> ten;
    for (std::uint64_t i = 0; i <= 8; ++i) ten.push_back(sample(kStart + i * 1'250'000'000, 10));
    EXPECT_EQ(makePowerBalance(ten, applicationFor(ten, {})).state, State::available());
}

TEST(PowerBalance, PowerSupplyChangeAndMissingReadingsComeBeforeIntegration) {
    auto plugged = series({10, 10, 10, 10, 10});
    plugged[2].snapshot.externalConnected = true;
    plugged[3].snapshot.systemPower.watts.reset();
    const auto changed = makePowerBalance(plugged, applicationFor(plugged, {}));
    EXPECT_EQ(changed.state, State::unavailable("供电状态已变化，正在重新采样。"));
    EXPECT_EQ(changed.totalWatts, std::nullopt);
    EXPECT_EQ(changed.sourceContext, std::nullopt);

    auto charging = series({10, 10, 10});
    charging[0].snapshot.isCharging = true;
    EXPECT_EQ(makePowerBalance(charging, applicationFor(charging, {})).state,
              State::unavailable("供电状态已变化，正在重新采样。"));

    auto missing = series({10, 10, 10, 10, 10});
    missing[2].snapshot.systemPower = SystemPowerReading::unavailable("no");
    EXPECT_EQ(makePowerBalance(missing, applicationFor(missing, {})),
              refusal(State::unavailable("整机读数缺失，暂不计算分项合计。")));

    auto otherSource = series({10, 10, 10});
    otherSource[0].snapshot.systemPower.source = Source::externalInputMinusBattery;
    EXPECT_EQ(makePowerBalance(otherSource, applicationFor(otherSource, {})).state,
              State::unavailable("整机读数缺失，暂不计算分项合计。"));

    auto sourceOnly = series({10, 10, 10});
    sourceOnly[1].snapshot.systemPower.watts.reset();  // a source without watts
    EXPECT_EQ(makePowerBalance(sourceOnly, applicationFor(sourceOnly, {})).state,
              State::unavailable("整机读数缺失，暂不计算分项合计。"));
}

TEST(PowerBalance, GapsAndOutOfRangeValuesRefuseTheSeries) {
    const auto withGap = [](std::uint64_t gap) {
        const std::vector<TimedPowerSample> s = {sample(kStart, 10), sample(kStart + gap, 10),
                                                 sample(kStart + 3'000'000'000, 10)};
        return makePowerBalance(s, applicationFor(s, {}));
    };
    EXPECT_EQ(withGap(1'600'000'000),
              refusal(State::unavailable("采样间隔或读数异常，等待重新采样。")));
    EXPECT_EQ(withGap(1'500'000'000).state, State::available());

    const auto withValue = [](double watts) {
        auto s = series({10, 10, 10, 10, 10});
        s[3].snapshot.systemPower.watts = watts;
        return makePowerBalance(s, applicationFor(s, {})).state;
    };
    const State faulty = State::unavailable("采样间隔或读数异常，等待重新采样。");
    EXPECT_EQ(withValue(0), faulty);
    EXPECT_EQ(withValue(-3), faulty);
    EXPECT_EQ(withValue(1000.5), faulty);
    EXPECT_EQ(withValue(std::numeric_limits<double>::infinity()), faulty);
    EXPECT_EQ(withValue(std::numeric_limits<double>::quiet_NaN()), faulty);
    EXPECT_EQ(withValue(1000), State::available());
}

TEST(PowerBalance, WindowsMustMatchToTheNanosecond) {
    const auto samples = series({10, 12, 12, 10, 10});
    const auto expectNotAligned = [&](const ApplicationPowerSnapshot& application) {
        const auto balance = makePowerBalance(samples, application);
        EXPECT_EQ(balance.state,
                  State::unavailable("应用与整机尚未形成同一采样窗口，分项暂不可用。"));
        EXPECT_DOUBLE_EQ(*balance.totalWatts, 11.0);
        EXPECT_EQ(balance.applicationCPUWatts, std::nullopt);
        EXPECT_EQ(balance.durationSeconds, 2.0);
        EXPECT_TRUE(balance.sourceContext);
    };
    expectNotAligned(ApplicationPowerSnapshot::collecting());
    auto application = applicationFor(samples, {1.0});
    application.sampleWindowStart = *application.sampleWindowStart + 1;
    expectNotAligned(application);
    application = applicationFor(samples, {1.0});
    application.sampleWindowEnd.reset();
    expectNotAligned(application);
    application = applicationFor(samples, {1.0});
    application.state = ApplicationPowerSnapshot::State::unavailable("x");
    expectNotAligned(application);
}

TEST(PowerBalance, ApplicationSideMustBeSaneAndNotAboveTheWholeMachine) {
    const auto samples = series({5, 5, 5});
    const auto above = makePowerBalance(samples, applicationFor(samples, {4.0, 2.0}));
    EXPECT_EQ(above.state,
              State::inconsistent("CPU 估算高于整机读数，暂不计算差额；未调整应用原始数值。"));
    EXPECT_EQ(above.totalWatts, 5.0);
    EXPECT_EQ(above.applicationCPUWatts, std::nullopt);
    EXPECT_TRUE(above.source);

    const auto equal = makePowerBalance(samples, applicationFor(samples, {3.0, 2.0}));
    EXPECT_EQ(equal.state, State::available());
    EXPECT_EQ(equal.applicationCPUWatts, 5.0);

    const auto none = makePowerBalance(samples, applicationFor(samples, {}));
    EXPECT_EQ(none.state, State::available());
    EXPECT_EQ(none.applicationCPUWatts, 0.0);

    for (const double bad : {-0.1, std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(makePowerBalance(samples, applicationFor(samples, {1.0, bad})),
                  refusal(State::inconsistent("应用读数异常，暂不计算分项差额。")));
    }
}

TEST(SplitCentiwatts, PartsAddUpToTheShownTotal) {
    EXPECT_EQ(splitCentiwatts(12.3456, 3.3344), (CentiwattSplit{1235, 333}));
    EXPECT_EQ(splitCentiwatts(5, 5), (CentiwattSplit{500, 500}));
    EXPECT_EQ(splitCentiwatts(0.125, 0.125), (CentiwattSplit{13, 13}));  // halves away from zero
    EXPECT_EQ(splitCentiwatts(1000, 0), (CentiwattSplit{100000, 0}));
    EXPECT_EQ(splitCentiwatts(5, 5.01), std::nullopt);
    EXPECT_EQ(splitCentiwatts(0, 0), std::nullopt);
    EXPECT_EQ(splitCentiwatts(1000.5, 1), std::nullopt);
    EXPECT_EQ(splitCentiwatts(5, -0.001), std::nullopt);
    EXPECT_EQ(splitCentiwatts(std::numeric_limits<double>::quiet_NaN(), 1), std::nullopt);
    EXPECT_EQ(splitCentiwatts(5, std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(SplitCentiwatts, OtherShareIsNeverNegative) {
    for (double total = 0.005; total <= 20; total += 0.00731) {
        for (const double share : {0.0, 0.3, 0.5, 0.999, 1.0}) {
            const auto split = splitCentiwatts(total, total * share);
            ASSERT_TRUE(split) << total;
            ASSERT_LE(split->applicationCentiwatts, split->totalCentiwatts) << total;
        }
    }
}

}  // namespace
}  // namespace pylonix
