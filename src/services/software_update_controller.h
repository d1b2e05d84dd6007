#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/published.h"
#include "services/software_update_driving.h"

namespace pylonix {

// Writes one line to the system log.
using SystemLogWriter = std::function<void(std::string_view line)>;

// Starts the update service once, publishes its state (only when it changed) and a start-up
// failure message, and forwards the user's two update actions after a fresh read of the
// driver. Main thread only.
class SoftwareUpdateController {
  public:
    static constexpr std::string_view kStartupErrorMessage =
        "更新检查暂时无法启动，请重新打开 App 后重试。";

    // Reads the driver's state, subscribes to its changes and, when `startsUpdater`, starts it.
    SoftwareUpdateController(std::unique_ptr<SoftwareUpdateDriving> driver, bool startsUpdater,
                             SystemLogWriter writeSystemLog);
    ~SoftwareUpdateController();
    SoftwareUpdateController(const SoftwareUpdateController&) = delete;
    SoftwareUpdateController& operator=(const SoftwareUpdateController&) = delete;

    Published<SoftwareUpdateState> state;
    Published<std::optional<std::string>> startupError;

    bool isStarted() const { return started_; }

    // Starts the driver unless it already started; a failure becomes startupError and one
    // system log line. Refreshes the state either way.
    void start();
    void checkForUpdates();
    void setAutomaticChecks(bool enabled);

  private:
    void refreshState();

    std::unique_ptr<SoftwareUpdateDriving> driver_;
    SystemLogWriter writeSystemLog_;
    bool started_ = false;
};

}  // namespace pylonix
