#include "common/cancellable_sleep.h"

#include <memory>
#include <utility>

namespace pylonix {

namespace {

// Shared by the timer's work (strongly) and the cancellation listener (weakly), so that
// whichever comes first runs the continuation and the other finds nothing left to do.
struct Sleep {
    std::function<void()> continuation;
    TimerHandle timer;
    Subscription cancelListener;
};

}  // namespace

void sleepFor(MainExecutor& executor, std::chrono::nanoseconds duration,
              const CancellationToken& token, std::function<void()> continuation) {
    if (token.isCancelled()) {
        executor.post(std::move(continuation));
        return;
    }
    auto sleep = std::make_shared<Sleep>();
    sleep->continuation = std::move(continuation);
    sleep->timer = executor.postAfter(duration, [sleep] {
        if (!sleep->continuation) return;
        sleep->cancelListener.reset();
        std::exchange(sleep->continuation, {})();
    });
    std::weak_ptr<Sleep> weakSleep = sleep;
    MainExecutor* const mainExecutor = &executor;
    sleep->cancelListener = token.onCancel([weakSleep, mainExecutor] {
        const auto pending = weakSleep.lock();
        if (!pending || !pending->continuation) return;
        mainExecutor->post(std::exchange(pending->continuation, {}));
        pending->timer.cancel();
    });
}

}  // namespace pylonix
