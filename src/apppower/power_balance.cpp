#include "apppower/power_balance.h"

#include <cmath>

namespace pylonix {
namespace {

constexpr std::size_t kMinimumSamples = 3;
constexpr double kShortestWindowSeconds = 0.1;
constexpr double kLongestWindowSeconds = 10.0;
constexpr double kLongestSampleGapSeconds = 1.5;
constexpr double kHighestWatts = 1000.0;

double seconds(std::uint64_t nanoseconds) {
    return static_cast<double>(nanoseconds) / 1e9;
}

bool usableWatts(const std::optional<double>& watts) {
    return watts && std::isfinite(*watts) && *watts > 0 && *watts <= kHighestWatts;
}

PowerBalanceSnapshot refused(PowerBalanceSnapshot::State state) {
    PowerBalanceSnapshot balance;
    balance.state = std::move(state);
    return balance;
}

}  // namespace

PowerBalanceSnapshot makePowerBalance(std::span<const TimedPowerSample> samples,
                                      const ApplicationPowerSnapshot& application) {
    using State = PowerBalanceSnapshot::State;
    if (samples.size() < kMinimumSamples) return PowerBalanceSnapshot::collecting();
    const TimedPowerSample& first = samples.front();
    const TimedPowerSample& last = samples.back();
    if (last.uptimeNanoseconds <= first.uptimeNanoseconds)
        return PowerBalanceSnapshot::collecting();
    const double duration = seconds(last.uptimeNanoseconds - first.uptimeNanoseconds);
    if (duration < kShortestWindowSeconds || duration > kLongestWindowSeconds) {
        return PowerBalanceSnapshot::collecting();
    }

    const PowerSourceContext context = PowerSourceContext::of(last.snapshot);
    for (const TimedPowerSample& sample : samples) {
        if (PowerSourceContext::of(sample.snapshot) != context) {
            return refused(State::unavailable(kPowerSourceChangedMessage));
        }
    }
    const std::optional<SystemPowerReading::Source> source = last.snapshot.systemPower.source;
    if (!source) return refused(State::unavailable(kSystemPowerMissingMessage));
    for (const TimedPowerSample& sample : samples) {
        if (sample.snapshot.systemPower.source != source || !sample.snapshot.systemPower.watts) {
            return refused(State::unavailable(kSystemPowerMissingMessage));
        }
    }

    double energyJoules = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const TimedPowerSample& a = samples[i - 1];
        const TimedPowerSample& b = samples[i];
        if (b.uptimeNanoseconds <= a.uptimeNanoseconds) return PowerBalanceSnapshot::collecting();
        const double dt = seconds(b.uptimeNanoseconds - a.uptimeNanoseconds);
        const std::optional<double>& wa = a.snapshot.systemPower.watts;
        const std::optional<double>& wb = b.snapshot.systemPower.watts;
        if (dt > kLongestSampleGapSeconds || !usableWatts(wa) || !usableWatts(wb)) {
            return refused(State::unavailable(kSampleSeriesFaultyMessage));
        }
        energyJoules += dt * ((*wa + *wb) * 0.5);
    }
    const double total = energyJoules / duration;

    PowerBalanceSnapshot balance;
    balance.sourceContext = context;
    balance.source = source;
    balance.timestamp = last.snapshot.timestamp;
    balance.durationSeconds = duration;

    const bool aligned = application.state == ApplicationPowerSnapshot::State::available() &&
                         application.sampleWindowStart == first.uptimeNanoseconds &&
                         application.sampleWindowEnd == last.uptimeNanoseconds;
    if (!aligned) {
        balance.state = State::unavailable(kWindowsNotAlignedMessage);
        balance.totalWatts = total;
        return balance;
    }

    double sum = 0;
    for (const ApplicationPowerEntry& entry : application.entries) {
        if (!entry.watts) continue;
        if (!std::isfinite(*entry.watts) || *entry.watts < 0) {
            return refused(State::inconsistent(kApplicationReadingFaultyMessage));
        }
        sum += *entry.watts;
    }
    balance.totalWatts = total;
    if (sum <= total) {
        balance.state = State::available();
        balance.applicationCPUWatts = sum;
    } else {
        balance.state = State::inconsistent(kApplicationAboveSystemMessage);
    }
    return balance;
}

std::optional<CentiwattSplit> splitCentiwatts(double total, double app) {
    if (!std::isfinite(total) || total <= 0 || total > kHighestWatts) return std::nullopt;
    if (!std::isfinite(app) || app < 0) return std::nullopt;
    if (app > total) return std::nullopt;
    // std::llround rounds halves away from zero.
    return CentiwattSplit{std::llround(total * 100), std::llround(app * 100)};
}

}  // namespace pylonix
