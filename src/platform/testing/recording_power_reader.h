#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "common/main_executor.h"
#include "power/power_reading.h"

namespace pylonix::test_doubles {

// A reader whose snapshots carry the executor's clock reading as their timestamp (seconds on
// that clock), and which records when each reading was taken, so that tests can see the
// rhythm of a loop.
class RecordingPowerReader final : public PowerReading {
  public:
    using ReadTimes = std::vector<std::chrono::nanoseconds>;

    explicit RecordingPowerReader(const MainExecutor& clock)
        : clock_(clock), readTimes_(std::make_shared<ReadTimes>()) {}

    PowerSnapshot read() const override {
        const auto now = clock_.now();
        readTimes_->push_back(now);
        PowerSnapshot snapshot;
        snapshot.timestamp = WallClockTime(std::chrono::duration<double>(now));
        return snapshot;
    }

    // Shared, so that it can be kept after the reader has been handed to its owner.
    std::shared_ptr<const ReadTimes> readTimes() const { return readTimes_; }

  private:
    const MainExecutor& clock_;
    std::shared_ptr<ReadTimes> readTimes_;
};

}  // namespace pylonix::test_doubles
