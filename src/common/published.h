#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace pylonix {

// Ends an observation when destroyed (or reset). Movable, not copyable.
class Subscription {
  public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    void reset() {
        if (cancel_) std::exchange(cancel_, {})();
    }

  private:
    std::function<void()> cancel_;
};

// A published field of an observable object: every assignment notifies every observer with
// the new value, even when it equals the old one. Main-thread only, like its owners.
// Observers may subscribe or unsubscribe (themselves or others) while being notified; an
// observation added during a notification first hears the next one.
template <typename T>
class Published {
  public:
    using Observer = std::function<void(const T&)>;

    Published() = default;
    explicit Published(T initial) : value_(std::move(initial)) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return value_; }
    const T& operator*() const { return value_; }
    const T* operator->() const { return &value_; }

    void set(T value) {
        value_ = std::move(value);
        // A snapshot of the observers, so that changes to the list during the calls are safe.
        const std::vector<std::shared_ptr<Entry>> current = observers_->entries;
        for (const auto& entry : current) {
            if (entry->active) entry->observer(value_);
        }
    }

    // Calls `observer` after every assignment until the returned subscription ends. The
    // subscription may outlive the field.
    [[nodiscard]] Subscription observe(Observer observer) {
        auto entry = std::make_shared<Entry>(Entry{std::move(observer), true});
        observers_->entries.push_back(entry);
        std::weak_ptr<List> list = observers_;
        return Subscription([list, entry] {
            entry->active = false;
            if (const auto alive = list.lock()) {
                std::erase(alive->entries, entry);
            }
        });
    }

    std::size_t observerCount() const { return observers_->entries.size(); }

  private:
    struct Entry {
        Observer observer;
        bool active = true;
    };
    struct List {
        std::vector<std::shared_ptr<Entry>> entries;
    };

    T value_{};
    std::shared_ptr<List> observers_ = std::make_shared<List>();
};

}  // namespace pylonix
