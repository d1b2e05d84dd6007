#include "power/system_power_estimate.h"

#include <gtest/gtest.h>

#include <limits>

namespace pylonix {
namespace {

using Source = SystemPowerReading::Source;
namespace reasons = estimate_reasons;

BatteryProperties telemetry(std::optional<double> powerIn, std::optional<double> voltageIn = {},
                            std::optional<double> currentIn = {}) {
    BatteryProperties record;
    if (powerIn) record["SystemPowerIn"] = *powerIn;
    if (voltageIn) record["SystemVoltageIn"] = *voltageIn;
    if (currentIn) record["SystemCurrentIn"] = *currentIn;
    return record;
}

SystemPowerReading onBattery(std::optional<double> batteryWatts) {
    return estimate(telemetry(45000), true, false, batteryWatts);
}

SystemPowerReading external(const BatteryProperties& record, double batteryWatts) {
    return estimate(record, true, true, batteryWatts);
}

TEST(EstimateTest, OnBatteryTheDischargeIsTheWholeMachine) {
    EXPECT_EQ(onBattery(-12.5),
              (SystemPowerReading{12.5, std::nullopt, Source::batteryDischarge, std::nullopt}));
    EXPECT_EQ(onBattery(-1000).watts, 1000.0);
    EXPECT_EQ(onBattery(-1000.5).unavailableReason, reasons::kBatteryPowerInvalid);
    // Zero or charging on battery: the telemetry (here a valid input) is not consulted.
    EXPECT_EQ(onBattery(0), SystemPowerReading::unavailable(reasons::kWaitingForDischarge));
    EXPECT_EQ(onBattery(3).unavailableReason, reasons::kWaitingForDischarge);
}

TEST(EstimateTest, MissingBatteryOrUnusableBatteryPowerDecidesFirst) {
    EXPECT_EQ(estimate(telemetry(45000), false, true, 10).unavailableReason, reasons::kNoBattery);
    EXPECT_EQ(onBattery(std::nullopt).unavailableReason, reasons::kBatteryPowerInvalid);
    EXPECT_EQ(onBattery(std::numeric_limits<double>::quiet_NaN()).unavailableReason,
              reasons::kBatteryPowerInvalid);
    EXPECT_EQ(external(telemetry(45000), std::numeric_limits<double>::infinity()).unavailableReason,
              reasons::kBatteryPowerInvalid);
}

TEST(EstimateTest, ExternalMeasuredInputMinusBatteryPower) {
    EXPECT_EQ(external(telemetry(45000), 20),
              (SystemPowerReading{25.0, 45.0, Source::externalInputMinusBattery, std::nullopt}));
    // Only V without I: the measured input is used without a cross-check.
    EXPECT_EQ(external(telemetry(45000, 20000), 20).watts, 25.0);
    // Derived input when nothing is measured; a discharging battery adds its discharge.
    EXPECT_EQ(external(telemetry(std::nullopt, 20000, 3000), -5).watts, 65.0);
}

TEST(EstimateTest, CrossCheckToleranceIsInclusive) {
    EXPECT_EQ(external(telemetry(45000, 20000, 2250), 0).watts, 45.0);
    EXPECT_EQ(external(telemetry(45000, 20000, 2000), 0).unavailableReason,
              reasons::kInputInconsistent);
    // 5 W measured against 4 W derived: a 1 W difference equals the 1 W floor.
    EXPECT_EQ(external(telemetry(5000, 5000, 800), 0).watts, 5.0);
}

TEST(EstimateTest, VoltageAndCurrentWindowsRejectEvenWithAPlausibleInput) {
    for (const auto& [v, i] :
         {std::pair{2999.0, 2000.0}, {60001.0, 700.0}, {20000.0, 20000.0}, {20000.0, -1.0}}) {
        EXPECT_EQ(external(telemetry(45000, v, i), 0).unavailableReason,
                  reasons::kTelemetryOutOfRange)
            << v << " mV " << i << " mA";
    }
    EXPECT_EQ(external(telemetry(9000, 3000, 3000), 0).watts, 9.0);
    EXPECT_EQ(external(telemetry(45000, 60000, 750), 0).watts, 45.0);
    // I = 0 passes the window, then the zero derived input fails the cross-check.
    EXPECT_EQ(external(telemetry(std::nullopt, 20000, 0), 0).unavailableReason,
              reasons::kNoActualInput);
}

TEST(EstimateTest, NoUsableInputNeverFallsBackToTheAdapterRating) {
    EXPECT_EQ(external({}, 0), SystemPowerReading::unavailable(reasons::kNoActualInput));
    EXPECT_EQ(external(telemetry(0), 0).unavailableReason, reasons::kNoActualInput);
    EXPECT_EQ(external(telemetry(1000000), 0).watts, 1000.0);
    EXPECT_EQ(external(telemetry(1000001), 0).unavailableReason, reasons::kNoActualInput);
    BatteryProperties text;
    text["SystemPowerIn"] = BatteryValue(BatteryValue::Other{});
    EXPECT_EQ(external(text, 0).unavailableReason, reasons::kNoActualInput);
}

TEST(EstimateTest, ResultOutsideTheWindowKeepsTheInput) {
    const SystemPowerReading reading = external(telemetry(10000), 15);
    EXPECT_EQ(reading, (SystemPowerReading{std::nullopt, 10.0, std::nullopt,
                                           std::string(reasons::kChargeReadingsDisagree)}));
    EXPECT_EQ(external(telemetry(10000), 10).unavailableReason, reasons::kChargeReadingsDisagree);
    EXPECT_EQ(external(telemetry(1000000), -1).unavailableReason, reasons::kChargeReadingsDisagree);
}

}  // namespace
}  // namespace pylonix
