#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "common/main_executor.h"
#include "common/serial_executor.h"

namespace pylonix::test_doubles {

// A main thread whose clock moves only when the test says so: a five-second interval costs no
// wall time, and every ordering of timers, cancellations and readings can be checked exactly.
// It is also a serial executor whose jobs run, in order, as main-thread work due at once, so
// a loop that awaits serial work runs here unchanged. Nothing runs until the test calls
// `runUntilIdle`, `advanceBy` or `advanceTo`.
class VirtualExecutor final : public MainExecutor, public SerialExecutor {
  public:
    using Nanoseconds = std::chrono::nanoseconds;

    void post(Work work) override;
    TimerHandle postAfter(Nanoseconds delay, Work work) override;
    Nanoseconds now() const override;
    void submit(std::function<void()> work) override;

    // Runs the work that is due at the current time, including work it posts for now, in
    // order of due time and then of posting. Returns how many jobs ran.
    std::size_t runUntilIdle();

    // Moves the clock forward, running each job when the clock reaches its due time (the clock
    // reads that time while it runs). Returns how many jobs ran.
    std::size_t advanceBy(Nanoseconds duration);
    std::size_t advanceTo(Nanoseconds time);

    std::size_t pendingCount() const;
    std::optional<Nanoseconds> nextDueTime() const;

  private:
    using Key = std::pair<Nanoseconds, std::uint64_t>;  // due time, posting order
    struct Queue {
        mutable std::mutex mutex;
        std::map<Key, Work> jobs;
        std::uint64_t nextSequence = 0;
        Nanoseconds now{0};
    };

    Key enqueue(Nanoseconds due, Work work);
    // Takes the first job due at or before `limit`, setting the clock to its due time.
    std::optional<Work> takeDue(Nanoseconds limit);

    std::shared_ptr<Queue> queue_ = std::make_shared<Queue>();
};

}  // namespace pylonix::test_doubles
