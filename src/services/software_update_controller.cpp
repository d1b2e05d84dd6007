#include "services/software_update_controller.h"

#include <utility>

namespace pylonix {

SoftwareUpdateController::SoftwareUpdateController(std::unique_ptr<SoftwareUpdateDriving> driver,
                                                   bool startsUpdater,
                                                   SystemLogWriter writeSystemLog)
    : state(driver->state()),
      driver_(std::move(driver)),
      writeSystemLog_(std::move(writeSystemLog)) {
    // The driver lives exactly as long as this controller, and the destructor clears the
    // callback before either goes, so the callback never reaches a destroyed controller.
    driver_->setOnStateChange([this] { refreshState(); });
    if (startsUpdater) start();
}

SoftwareUpdateController::~SoftwareUpdateController() {
    driver_->setOnStateChange({});
}

void SoftwareUpdateController::start() {
    if (started_) return;
    if (const auto error = driver_->start()) {
        startupError.set(std::string(kStartupErrorMessage));
        if (writeSystemLog_) {
            writeSystemLog_("Pylonix updater could not start: " + error->localizedDescription);
        }
    } else {
        started_ = true;
        startupError.set(std::nullopt);
    }
    refreshState();
}

void SoftwareUpdateController::refreshState() {
    SoftwareUpdateState current = driver_->state();
    if (current != state.get()) state.set(std::move(current));
}

void SoftwareUpdateController::checkForUpdates() {
    if (startupError.get()) return;
    if (!driver_->state().canCheckForUpdates) return;
    driver_->checkForUpdates();
    refreshState();
}

void SoftwareUpdateController::setAutomaticChecks(bool enabled) {
    if (startupError.get()) return;
    if (driver_->state().automaticallyChecksForUpdates == enabled) return;
    driver_->setAutomaticallyChecksForUpdates(enabled);
    refreshState();
}

}  // namespace pylonix
