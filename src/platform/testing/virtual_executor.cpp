#include "platform/testing/virtual_executor.h"

#include <algorithm>

namespace pylonix::test_doubles {

VirtualExecutor::Key VirtualExecutor::enqueue(Nanoseconds due, Work work) {
    const std::lock_guard lock(queue_->mutex);
    const Key key{std::max(due, queue_->now), queue_->nextSequence++};
    queue_->jobs.emplace(key, std::move(work));
    return key;
}

void VirtualExecutor::post(Work work) {
    enqueue(now(), std::move(work));
}

TimerHandle VirtualExecutor::postAfter(Nanoseconds delay, Work work) {
    const Key key = enqueue(now() + delay, std::move(work));
    std::weak_ptr<Queue> weakQueue = queue_;
    return TimerHandle([weakQueue, key] {
        const auto queue = weakQueue.lock();
        if (!queue) return;
        Work dropped;  // destroyed after the lock is released
        const std::lock_guard lock(queue->mutex);
        if (const auto found = queue->jobs.find(key); found != queue->jobs.end()) {
            dropped = std::move(found->second);
            queue->jobs.erase(found);
        }
    });
}

VirtualExecutor::Nanoseconds VirtualExecutor::now() const {
    const std::lock_guard lock(queue_->mutex);
    return queue_->now;
}

void VirtualExecutor::submit(std::function<void()> work) {
    post(std::move(work));
}

std::optional<MainExecutor::Work> VirtualExecutor::takeDue(Nanoseconds limit) {
    const std::lock_guard lock(queue_->mutex);
    const auto first = queue_->jobs.begin();
    if (first == queue_->jobs.end() || first->first.first > limit) return std::nullopt;
    queue_->now = std::max(queue_->now, first->first.first);
    Work work = std::move(first->second);
    queue_->jobs.erase(first);
    return work;
}

std::size_t VirtualExecutor::runUntilIdle() {
    return advanceTo(now());
}

std::size_t VirtualExecutor::advanceBy(Nanoseconds duration) {
    return advanceTo(now() + duration);
}

std::size_t VirtualExecutor::advanceTo(Nanoseconds time) {
    std::size_t ran = 0;
    while (auto work = takeDue(time)) {
        (*work)();
        ++ran;
    }
    const std::lock_guard lock(queue_->mutex);
    queue_->now = std::max(queue_->now, time);
    return ran;
}

std::size_t VirtualExecutor::pendingCount() const {
    const std::lock_guard lock(queue_->mutex);
    return queue_->jobs.size();
}

std::optional<VirtualExecutor::Nanoseconds> VirtualExecutor::nextDueTime() const {
    const std::lock_guard lock(queue_->mutex);
    if (queue_->jobs.empty()) return std::nullopt;
    return queue_->jobs.begin()->first.first;
}

}  // namespace pylonix::test_doubles
