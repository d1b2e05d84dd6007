#pragma once

#include <QObject>
#include <chrono>
#include <memory>

#include "common/main_executor.h"

namespace pylonix::qt_platform {

// The main executor over the Qt event loop of the thread that creates it: `post` queues an
// event, `postAfter` starts a single-shot precise QTimer, `now` is the steady clock the timers
// run on. Nothing runs between events, so a waiting loop costs no processor time. Work still
// queued when the executor is destroyed never runs.
class QtMainExecutor final : public MainExecutor {
  public:
    QtMainExecutor();
    ~QtMainExecutor() override;
    QtMainExecutor(const QtMainExecutor&) = delete;
    QtMainExecutor& operator=(const QtMainExecutor&) = delete;

    void post(Work work) override;
    TimerHandle postAfter(std::chrono::nanoseconds delay, Work work) override;
    std::chrono::nanoseconds now() const override;

  private:
    std::unique_ptr<QObject> context_;  // parent of the timers; receiver of posted work
};

}  // namespace pylonix::qt_platform
