#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "common/published.h"

namespace pylonix {

// The cancellation flag of one cooperative task. A loop keeps a token and checks
// `isCancelled()` after every wait and every awaited call; waits themselves listen with
// `onCancel` so that a cancellation ends them early. Main-thread only, like the loops.
class CancellationToken {
  public:
    // A token that is never cancelled.
    CancellationToken() = default;

    bool isCancelled() const { return state_ && state_->cancelled; }

    // Calls `callback` once, when the task is cancelled; at once if it already is. The returned
    // subscription withdraws the callback (cheap to keep after it has run).
    [[nodiscard]] Subscription onCancel(std::function<void()> callback) const;

  private:
    friend class CancellationSource;
    struct Listener {
        std::function<void()> callback;
        bool active = true;
    };
    struct State {
        bool cancelled = false;
        std::vector<std::shared_ptr<Listener>> listeners;
    };
    explicit CancellationToken(std::shared_ptr<State> state) : state_(std::move(state)) {}

    std::shared_ptr<State> state_;
};

// The owner's side of a task's cancellation: the handle kept by whoever may cancel the task
// (a monitor's refresh task, the panel's sampling task). Copies share one flag.
class CancellationSource {
  public:
    CancellationSource() : state_(std::make_shared<CancellationToken::State>()) {}

    CancellationToken token() const { return CancellationToken(state_); }
    bool isCancelled() const { return state_->cancelled; }

    // Sets the flag and runs every listener once, in the order they were added. Idempotent.
    void cancel();

  private:
    std::shared_ptr<CancellationToken::State> state_;
};

}  // namespace pylonix
