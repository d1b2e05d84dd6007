#include "platform/linux/updates/feed_update_driver.h"

#include <QUrl>

#include "platform/linux/updates/update_schedule.h"

namespace pylonix::linux_platform {

FeedUpdateDriver::FeedUpdateDriver(Configuration configuration,
                                   std::unique_ptr<UpdatePreferences> preferences,
                                   std::unique_ptr<UpdatePresenting> presenter)
    : configuration_(std::move(configuration)),
      preferences_(std::move(preferences)),
      presenter_(std::move(presenter)) {
    schedule_.setSingleShot(true);
    schedule_.setTimerType(Qt::VeryCoarseTimer);
    QObject::connect(&schedule_, &QTimer::timeout, &schedule_, [this] { runScheduledCheck(); });
}

FeedUpdateDriver::~FeedUpdateDriver() {
    *alive_ = false;
}

SoftwareUpdateState FeedUpdateDriver::state() const {
    SoftwareUpdateState state;
    state.canCheckForUpdates = started_ && !checking_ && !presenting_;
    state.automaticallyChecksForUpdates = preferences_->automaticallyChecksForUpdates();
    state.lastCheckDate = preferences_->lastCheckDate();
    state.availableVersion = availableVersion_;
    return state;
}

std::optional<SoftwareUpdateStartError> FeedUpdateDriver::start() {
    if (started_) return std::nullopt;
    if (configuration_.feedURL.empty()) {
        return SoftwareUpdateStartError{"此版本在构建时没有设置更新源地址。"};
    }
    if (auto problem = feedURLProblem(QUrl(QString::fromStdString(configuration_.feedURL)))) {
        return SoftwareUpdateStartError{std::move(*problem)};
    }
    started_ = true;
    scheduleNextCheck();
    return std::nullopt;
}

void FeedUpdateDriver::checkForUpdates() {
    if (!state().canCheckForUpdates) return;
    runCheck(true);
}

void FeedUpdateDriver::setAutomaticallyChecksForUpdates(bool enabled) {
    preferences_->setAutomaticallyChecksForUpdates(enabled);
    if (started_) scheduleNextCheck();
    notify();
}

std::optional<int> FeedUpdateDriver::scheduledCheckDelayMilliseconds() const {
    if (!schedule_.isActive()) return std::nullopt;
    return schedule_.remainingTime();
}

void FeedUpdateDriver::scheduleNextCheck() {
    const auto delay = nextScheduledCheckDelay(preferences_->automaticallyChecksForUpdates(),
                                               preferences_->lastCheckDate(), configuration_.now());
    if (!delay) {
        schedule_.stop();
        return;
    }
    schedule_.start(*delay);
}

void FeedUpdateDriver::runScheduledCheck() {
    if (!preferences_->automaticallyChecksForUpdates()) return;
    // A running check, or a found version the user has not seen yet, keeps this day's check
    // from starting; the schedule picks up again after it.
    if (checking_ || presenting_ || availableVersion_) {
        schedule_.start(std::chrono::milliseconds(kScheduledCheckInterval));
        return;
    }
    runCheck(false);
}

void FeedUpdateDriver::runCheck(bool userInitiated) {
    checking_ = true;
    schedule_.stop();
    notify();
    std::weak_ptr<bool> alive = alive_;
    checkUpdateFeed(network_, QUrl(QString::fromStdString(configuration_.feedURL)),
                    configuration_.currentVersion, configuration_.limits,
                    [this, alive, userInitiated](UpdateCheckResult result) {
                        if (const auto stillAlive = alive.lock(); stillAlive && *stillAlive) {
                            finishCheck(userInitiated, std::move(result));
                        }
                    });
}

void FeedUpdateDriver::finishCheck(bool userInitiated, UpdateCheckResult result) {
    checking_ = false;
    preferences_->setLastCheckDate(configuration_.now());
    scheduleNextCheck();
    // A newer version opens an update session; anything else ends the one there was.
    availableVersion_ = result.availableVersion;
    if (userInitiated) {
        presenting_ = true;
        notify();
        std::weak_ptr<bool> alive = alive_;
        presenter_->present(result, [this, alive] {
            if (const auto stillAlive = alive.lock(); !stillAlive || !*stillAlive) return;
            presenting_ = false;
            availableVersion_.reset();
            notify();
        });
        return;
    }
    notify();
}

void FeedUpdateDriver::notify() const {
    if (onStateChange_) onStateChange_();
}

}  // namespace pylonix::linux_platform
