#pragma once

#include <QNetworkAccessManager>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/updates/update_feed_check.h"
#include "platform/linux/updates/update_preferences.h"
#include "platform/linux/updates/update_presenting.h"
#include "services/software_update_driving.h"

namespace pylonix::linux_platform {

// The update service of the Linux build: an appcast-style feed fetched with Qt Network.
// Scheduled checks run once a day while automatic checks are on and only announce a newer
// version (availableVersion); a check the user starts is shown by the presenter. One update
// session lasts from a found version until the user has seen it: while it lasts, or while a
// check runs, no other check can start. Lives on the main thread and needs its event loop.
class FeedUpdateDriver : public SoftwareUpdateDriving {
  public:
    struct Configuration {
        // The feed address of this build; empty when the build has none.
        std::string feedURL;
        std::string currentVersion;
        UpdateFeedLimits limits;
        std::function<WallClockTime()> now = wallClockNow;
    };

    FeedUpdateDriver(Configuration configuration, std::unique_ptr<UpdatePreferences> preferences,
                     std::unique_ptr<UpdatePresenting> presenter);
    ~FeedUpdateDriver() override;

    SoftwareUpdateState state() const override;
    const std::function<void()>& onStateChange() const override { return onStateChange_; }
    void setOnStateChange(std::function<void()> callback) override {
        onStateChange_ = std::move(callback);
    }
    std::optional<SoftwareUpdateStartError> start() override;
    void checkForUpdates() override;
    void setAutomaticallyChecksForUpdates(bool enabled) override;

    // Milliseconds until the next scheduled check, or nothing when none is scheduled.
    std::optional<int> scheduledCheckDelayMilliseconds() const;

  private:
    void scheduleNextCheck();
    void runScheduledCheck();
    void runCheck(bool userInitiated);
    void finishCheck(bool userInitiated, UpdateCheckResult result);
    void notify() const;

    Configuration configuration_;
    std::unique_ptr<UpdatePreferences> preferences_;
    std::unique_ptr<UpdatePresenting> presenter_;
    std::function<void()> onStateChange_;
    QNetworkAccessManager network_;
    QTimer schedule_;
    bool started_ = false;
    bool checking_ = false;
    bool presenting_ = false;
    std::optional<std::string> availableVersion_;
    // Ends the callbacks of a check still running when the driver goes.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace pylonix::linux_platform
