#pragma once

#include <QSettings>

#include "platform/linux/updates/update_preferences.h"

namespace pylonix::linux_platform {

// The user's settings of organisation and application "Pylonix", under the keys
// "automaticallyChecksForUpdates" (a Boolean) and "lastUpdateCheckDate" (seconds since
// 1970-01-01 UTC). A stored value of the wrong kind reads as absent.
class SettingsUpdatePreferences : public UpdatePreferences {
  public:
    SettingsUpdatePreferences();

    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool enabled) override;
    std::optional<WallClockTime> lastCheckDate() const override;
    void setLastCheckDate(WallClockTime date) override;

  private:
    QSettings settings_;
};

}  // namespace pylonix::linux_platform
