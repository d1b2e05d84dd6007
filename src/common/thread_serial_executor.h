#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "common/serial_executor.h"

namespace pylonix {

// A serial executor on one worker thread of its own. Destroying it lets the job in progress
// finish, drops the jobs not yet started and joins the thread.
class ThreadSerialExecutor final : public SerialExecutor {
  public:
    ThreadSerialExecutor();
    ~ThreadSerialExecutor() override;
    ThreadSerialExecutor(const ThreadSerialExecutor&) = delete;
    ThreadSerialExecutor& operator=(const ThreadSerialExecutor&) = delete;

    void submit(std::function<void()> work) override;

  private:
    void run();

    std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread worker_;  // last, so that it starts after the members it uses exist
};

}  // namespace pylonix
