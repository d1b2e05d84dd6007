#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace pylonix {

// How often the power monitor takes a reading: one of four fixed lengths, kept in the
// preferences as its raw value, a number of seconds. The default is one second.
class RefreshInterval {
  public:
    enum Case : std::uint8_t { halfSecond, oneSecond, twoSeconds, fiveSeconds };

    constexpr RefreshInterval() = default;
    constexpr RefreshInterval(Case value) : case_(value) {}  // NOLINT: a case is an interval

    // The case whose raw value is exactly `seconds`; none for any other number.
    static constexpr std::optional<RefreshInterval> fromRawValue(double seconds) {
        for (const RefreshInterval interval : allCases()) {
            if (interval.rawValue() == seconds) return interval;
        }
        return std::nullopt;
    }

    // Every case, in the order the settings offer them.
    static constexpr std::array<RefreshInterval, 4> allCases() {
        return {halfSecond, oneSecond, twoSeconds, fiveSeconds};
    }

    constexpr Case value() const { return case_; }

    constexpr double rawValue() const {
        switch (case_) {
            case halfSecond:
                return 0.5;
            case oneSecond:
                return 1.0;
            case twoSeconds:
                return 2.0;
            case fiveSeconds:
                return 5.0;
        }
        return 1.0;
    }

    // The length of one sleep of the refresh loop.
    constexpr std::chrono::nanoseconds nanoseconds() const {
        switch (case_) {
            case halfSecond:
                return std::chrono::milliseconds(500);
            case oneSecond:
                return std::chrono::seconds(1);
            case twoSeconds:
                return std::chrono::seconds(2);
            case fiveSeconds:
                return std::chrono::seconds(5);
        }
        return std::chrono::seconds(1);
    }

    friend constexpr bool operator==(RefreshInterval, RefreshInterval) = default;

  private:
    Case case_ = oneSecond;
};

}  // namespace pylonix

template <>
struct std::hash<pylonix::RefreshInterval> {
    std::size_t operator()(pylonix::RefreshInterval interval) const noexcept {
        return std::hash<double>()(interval.rawValue());
    }
};
