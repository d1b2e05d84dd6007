#pragma once

#include <functional>
#include <optional>
#include <string>

#include "services/software_update_state.h"

namespace pylonix {

// Why the updater could not start, as a readable description.
struct SoftwareUpdateStartError {
    std::string localizedDescription;
};

// The adapter between the update controller and an update service. Main thread only: the
// adapter calls onStateChange there, synchronously, whenever its state may have changed.
class SoftwareUpdateDriving {
  public:
    virtual ~SoftwareUpdateDriving() = default;

    // The service's current values.
    virtual SoftwareUpdateState state() const = 0;

    virtual const std::function<void()>& onStateChange() const = 0;
    virtual void setOnStateChange(std::function<void()> callback) = 0;

    // Starts the updater; nullopt on success.
    virtual std::optional<SoftwareUpdateStartError> start() = 0;
    // Starts a user-initiated check, whose result the service presents itself.
    virtual void checkForUpdates() = 0;
    virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
};

}  // namespace pylonix
