#include "common/cancellation_token.h"

#include <utility>

namespace pylonix {

Subscription CancellationToken::onCancel(std::function<void()> callback) const {
    if (!state_) return {};
    if (state_->cancelled) {
        callback();
        return {};
    }
    auto listener = std::make_shared<Listener>(Listener{std::move(callback), true});
    state_->listeners.push_back(listener);
    std::weak_ptr<State> weakState = state_;
    return Subscription([weakState, listener] {
        listener->active = false;
        if (const auto state = weakState.lock()) std::erase(state->listeners, listener);
    });
}

void CancellationSource::cancel() {
    if (state_->cancelled) return;
    state_->cancelled = true;
    // Listeners may withdraw themselves or others while this runs; work on a copy.
    const auto listeners = std::exchange(state_->listeners, {});
    for (const auto& listener : listeners) {
        if (listener->active) {
            listener->active = false;
            listener->callback();
        }
    }
}

}  // namespace pylonix
