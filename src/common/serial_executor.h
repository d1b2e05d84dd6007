#pragma once

#include <functional>
#include <utility>

#include "common/main_executor.h"

namespace pylonix {

// A place that runs work off the main thread, one job at a time in submission order: the
// sampler's own executor. Work that touches nothing but its inputs belongs here.
class SerialExecutor {
  public:
    virtual ~SerialExecutor() = default;

    // Queues `work`. Safe from any thread.
    virtual void submit(std::function<void()> work) = 0;
};

// Runs `work()` on `serial` and hands its result to `done` on the main thread. `main` must
// outlive the call's completion; the caller checks its cancellation flag inside `done`, as
// after every awaited call. The result type must be copyable.
template <typename Work, typename Done>
void runSerially(SerialExecutor& serial, MainExecutor& main, Work work, Done done) {
    MainExecutor* const mainExecutor = &main;
    serial.submit([mainExecutor, work = std::move(work), done = std::move(done)]() mutable {
        mainExecutor->post(
            [result = work(), done = std::move(done)]() mutable { done(std::move(result)); });
    });
}

}  // namespace pylonix
