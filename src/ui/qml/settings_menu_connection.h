#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/published.h"

namespace pylonix {

class LaunchAtLoginController;
class PowerMonitor;
class SettingsMenuBridge;
class SoftwareUpdateController;

// What the settings menu changes, and the two platform actions it starts.
struct SettingsMenuServices {
    PowerMonitor& monitor;
    LaunchAtLoginController& launchAtLogin;
    SoftwareUpdateController& softwareUpdate;
    std::string version;                      // the build's version, or "—"
    std::function<void()> openLoginSettings;  // the desktop's startup-applications settings
    std::function<void()> quit;
};

// Keeps the bridge's inputs in step with the services' published fields and carries out its
// choices: the interval goes to the monitor (which keeps it in the preferences), the switch to
// the login item, the update entries to the update controller, refresh now to the monitor.
// The bridge and the services must outlive the returned subscriptions, which end the
// observation; the signal connections end with the bridge.
[[nodiscard]] std::vector<Subscription> connectSettingsMenu(SettingsMenuBridge& bridge,
                                                            SettingsMenuServices services);

}  // namespace pylonix
