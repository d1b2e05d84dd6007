#include "platform/qt/qt_main_executor.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <utility>

namespace pylonix::qt_platform {

QtMainExecutor::QtMainExecutor() : context_(std::make_unique<QObject>()) {}

QtMainExecutor::~QtMainExecutor() = default;

void QtMainExecutor::post(Work work) {
    QMetaObject::invokeMethod(context_.get(), std::move(work), Qt::QueuedConnection);
}

TimerHandle QtMainExecutor::postAfter(std::chrono::nanoseconds delay, Work work) {
    // Whole milliseconds, rounded up so that the work never runs before its time.
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(
        std::max(delay, std::chrono::nanoseconds::zero()));
    auto* timer = new QTimer(context_.get());
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(
        std::chrono::milliseconds(std::min<long long>(milliseconds.count(), INT_MAX)));
    QObject::connect(timer, &QTimer::timeout, context_.get(), [timer, work = std::move(work)] {
        timer->deleteLater();
        work();
    });
    timer->start();
    QPointer<QTimer> guarded(timer);
    return TimerHandle([guarded] {
        if (guarded && guarded->isActive()) {
            guarded->stop();
            guarded->deleteLater();
        }
    });
}

std::chrono::nanoseconds QtMainExecutor::now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace pylonix::qt_platform
