#pragma once

#include <chrono>
#include <functional>
#include <utility>

namespace pylonix {

// The handle of work scheduled with `MainExecutor::postAfter`. Copies refer to the same work;
// dropping every copy leaves the work scheduled.
class TimerHandle {
  public:
    TimerHandle() = default;  // refers to no work
    explicit TimerHandle(std::function<void()> cancel) : cancel_(std::move(cancel)) {}

    // Withdraws the work if it has not started; afterwards, and on an empty handle, nothing.
    void cancel() {
        if (cancel_) std::exchange(cancel_, {})();
    }

  private:
    std::function<void()> cancel_;
};

// The main (user-interface) thread as a place to run work: the event loop in the application
// and the probe, a virtual clock in tests. Every loop of the program is written against this
// interface, so its timing can be checked without waiting. The executor must outlive
// everything that posts to it.
class MainExecutor {
  public:
    using Work = std::function<void()>;

    virtual ~MainExecutor() = default;

    // Runs `work` on the main thread after the work already posted. Safe from any thread.
    virtual void post(Work work) = 0;

    // Runs `work` on the main thread once `delay` has passed on `now()`'s clock (a delay of
    // zero or less: as soon as possible). Called on the main thread.
    virtual TimerHandle postAfter(std::chrono::nanoseconds delay, Work work) = 0;

    // The monotonic clock the delays are measured on, in nanoseconds since an arbitrary origin.
    virtual std::chrono::nanoseconds now() const = 0;
};

}  // namespace pylonix
