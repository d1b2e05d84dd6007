#pragma once

#include <optional>

#include "power/wall_clock.h"

namespace pylonix::linux_platform {

// Where the update driver keeps the automatic-checks switch and the last check date between
// runs. Scheduled checks are on until the user switches them off.
class UpdatePreferences {
  public:
    virtual ~UpdatePreferences() = default;

    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
    virtual std::optional<WallClockTime> lastCheckDate() const = 0;
    virtual void setLastCheckDate(WallClockTime date) = 0;
};

// Kept in memory only: for tests and for tools that must not touch the user's settings.
class InMemoryUpdatePreferences : public UpdatePreferences {
  public:
    bool automaticallyChecksForUpdates() const override { return automatic_; }
    void setAutomaticallyChecksForUpdates(bool enabled) override { automatic_ = enabled; }
    std::optional<WallClockTime> lastCheckDate() const override { return lastCheck_; }
    void setLastCheckDate(WallClockTime date) override { lastCheck_ = date; }

  private:
    bool automatic_ = true;
    std::optional<WallClockTime> lastCheck_;
};

}  // namespace pylonix::linux_platform
