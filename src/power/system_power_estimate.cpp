#include "power/system_power_estimate.h"

#include <algorithm>
#include <cmath>

namespace pylonix {

SystemPowerReading estimate(const BatteryProperties& telemetry, bool batteryPresent,
                            bool externalConnected, std::optional<double> batteryPowerWatts) {
    using battery_values::readDouble;
    namespace reasons = estimate_reasons;
    constexpr double kLimitWatts = 1000.0;

    if (!batteryPresent) return SystemPowerReading::unavailable(reasons::kNoBattery);
    if (!batteryPowerWatts || !std::isfinite(*batteryPowerWatts) ||
        std::fabs(*batteryPowerWatts) > kLimitWatts) {
        return SystemPowerReading::unavailable(reasons::kBatteryPowerInvalid);
    }
    const double batteryPower = *batteryPowerWatts;

    if (!externalConnected) {
        if (batteryPower < 0) {
            return {-batteryPower, std::nullopt, SystemPowerReading::Source::batteryDischarge,
                    std::nullopt};
        }
        return SystemPowerReading::unavailable(reasons::kWaitingForDischarge);
    }

    std::optional<double> measuredInput;
    if (const auto milliwatts = readDouble(telemetry, "SystemPowerIn")) {
        measuredInput = *milliwatts / 1000.0;
    }
    const std::optional<double> voltage = readDouble(telemetry, "SystemVoltageIn");
    const std::optional<double> current = readDouble(telemetry, "SystemCurrentIn");

    double input = 0;
    std::optional<double> derivedInput;
    if (voltage && current) {
        const double v = *voltage;
        const double i = *current;
        if (!std::isfinite(v) || !std::isfinite(i) || v < 3000 || v > 60000 || i < 0 ||
            i >= 20000) {
            return SystemPowerReading::unavailable(reasons::kTelemetryOutOfRange);
        }
        derivedInput = i * v / 1000000.0;
        input = measuredInput.value_or(*derivedInput);
    } else {
        if (!measuredInput) return SystemPowerReading::unavailable(reasons::kNoActualInput);
        input = *measuredInput;
    }

    // Written so that NaN fails too.
    if (!(input > 0 && input <= kLimitWatts)) {
        return SystemPowerReading::unavailable(reasons::kNoActualInput);
    }

    if (derivedInput) {
        const double difference = std::fabs(input - *derivedInput);
        const double tolerance = std::max(1.0, 0.1 * input);
        if (difference > tolerance) {
            return SystemPowerReading::unavailable(reasons::kInputInconsistent);
        }
    }

    const double watts = input - batteryPower;
    if (watts > 0 && watts <= kLimitWatts) {
        return {watts, input, SystemPowerReading::Source::externalInputMinusBattery, std::nullopt};
    }
    return {std::nullopt, input, std::nullopt, std::string(reasons::kChargeReadingsDisagree)};
}

}  // namespace pylonix
