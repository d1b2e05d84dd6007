#include "power/power_monitor.h"

#include <utility>

#include "common/cancellable_sleep.h"

namespace pylonix {

namespace {

RefreshInterval storedRefreshInterval(const PreferencesStore& preferences) {
    // A missing or unreadable value reads as 0, which is no interval.
    const double seconds = preferences.readDouble(kRefreshIntervalPreferenceKey).value_or(0.0);
    return RefreshInterval::fromRawValue(seconds).value_or(RefreshInterval());
}

}  // namespace

std::shared_ptr<PowerMonitor> PowerMonitor::create(std::unique_ptr<const PowerReading> reader,
                                                   PreferencesStore& preferences,
                                                   MainExecutor& executor) {
    return std::make_shared<PowerMonitor>(CreationKey{}, std::move(reader), preferences, executor);
}

PowerMonitor::PowerMonitor(CreationKey, std::unique_ptr<const PowerReading> reader,
                           PreferencesStore& preferences, MainExecutor& executor)
    : refreshInterval_(storedRefreshInterval(preferences)),
      reader_(std::move(reader)),
      preferences_(preferences),
      executor_(executor) {
    snapshot_.set(reader_->read());
}

PowerMonitor::~PowerMonitor() {
    if (refreshTask_) refreshTask_->cancel();
}

void PowerMonitor::setRefreshInterval(RefreshInterval interval) {
    const RefreshInterval old = refreshInterval_.get();
    refreshInterval_.set(interval);
    if (interval == old) return;
    preferences_.writeDouble(kRefreshIntervalPreferenceKey, interval.rawValue());
    if (refreshTask_) {
        std::exchange(refreshTask_, std::nullopt)->cancel();
        start();
    }
}

void PowerMonitor::start() {
    if (refreshTask_) return;
    refresh();
    // An observer of that reading may have started a loop already.
    if (refreshTask_) return;
    refreshTask_.emplace();
    runRefreshRound(weak_from_this(), refreshTask_->token(), executor_);
}

void PowerMonitor::refresh() {
    snapshot_.set(reader_->read());
}

void PowerMonitor::runRefreshRound(const std::weak_ptr<PowerMonitor>& weakMonitor,
                                   const CancellationToken& token, MainExecutor& executor) {
    if (token.isCancelled()) return;
    const auto monitor = weakMonitor.lock();
    if (!monitor) return;
    MainExecutor* const mainExecutor = &executor;
    sleepFor(executor, monitor->refreshInterval().nanoseconds(), token,
             [weakMonitor, token, mainExecutor] {
                 if (token.isCancelled()) return;
                 const auto awake = weakMonitor.lock();
                 if (!awake) return;
                 awake->refresh();
                 runRefreshRound(weakMonitor, token, *mainExecutor);
             });
}

}  // namespace pylonix
