#pragma once

#include <optional>
#include <string>
#include <utility>

#include "apppower/case_with_message.h"
#include "power/power_snapshot.h"

namespace pylonix {

// The whole-machine average beside the application CPU total over one window. The other,
// unattributed share is never stored: it is `splitCentiwatts` of the two totals.
struct PowerBalanceSnapshot {
    enum class StateCase { unavailable, inconsistent, collecting, available };

    // What the balance can say. `unavailable` and `inconsistent` carry the one sentence that
    // explains why no split is shown.
    class State : public CaseWithMessage<StateCase> {
      public:
        using Case = StateCase;

        static State unavailable(std::string message) {
            return {Case::unavailable, std::move(message)};
        }
        static State inconsistent(std::string message) {
            return {Case::inconsistent, std::move(message)};
        }
        static State collecting() { return {Case::collecting, std::nullopt}; }
        static State available() { return {Case::available, std::nullopt}; }

        bool operator==(const State&) const = default;

      private:
        using CaseWithMessage::CaseWithMessage;
    };

    State state = State::collecting();
    std::optional<double> totalWatts;           // whole-machine average over the window
    std::optional<double> applicationCPUWatts;  // present only in state `available`
    std::optional<PowerSourceContext> sourceContext;
    std::optional<SystemPowerReading::Source> source;
    std::optional<WallClockTime> timestamp;  // the window's last power snapshot
    std::optional<double> durationSeconds;

    bool operator==(const PowerBalanceSnapshot&) const = default;

    // Not enough samples over a suitable window yet; every other field absent.
    static PowerBalanceSnapshot collecting() { return {}; }
};

const char* toString(PowerBalanceSnapshot::State::Case kind);

}  // namespace pylonix
