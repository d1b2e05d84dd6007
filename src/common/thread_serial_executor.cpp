#include "common/thread_serial_executor.h"

#include <utility>

namespace pylonix {

ThreadSerialExecutor::ThreadSerialExecutor() : worker_([this] { run(); }) {}

ThreadSerialExecutor::~ThreadSerialExecutor() {
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        dropped = std::exchange(jobs_, {});
    }
    wakeUp_.notify_one();
    worker_.join();
}

void ThreadSerialExecutor::submit(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) return;
        jobs_.push_back(std::move(work));
    }
    wakeUp_.notify_one();
}

void ThreadSerialExecutor::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wakeUp_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

}  // namespace pylonix
