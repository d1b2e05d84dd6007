#include "ui/qml/settings_menu_connection.h"

#include <memory>
#include <utility>

#include "power/power_monitor.h"
#include "services/launch_at_login_controller.h"
#include "services/software_update_controller.h"
#include "ui/qml/settings_menu_bridge.h"

namespace pylonix {

std::vector<Subscription> connectSettingsMenu(SettingsMenuBridge& bridge,
                                              SettingsMenuServices services) {
    auto shared = std::make_shared<SettingsMenuServices>(std::move(services));
    PowerMonitor& monitor = shared->monitor;
    LaunchAtLoginController& login = shared->launchAtLogin;
    SoftwareUpdateController& update = shared->softwareUpdate;

    auto publish = [&bridge, shared] {
        PowerSettingsInputs inputs;
        inputs.refreshInterval = shared->monitor.refreshInterval();
        inputs.launchAtLoginEnabled = shared->launchAtLogin.isEnabled.get();
        inputs.launchAtLoginNeedsApproval = shared->launchAtLogin.needsApproval.get();
        inputs.launchAtLoginError = shared->launchAtLogin.errorMessage.get();
        inputs.softwareUpdateState = shared->softwareUpdate.state.get();
        inputs.softwareUpdateError = shared->softwareUpdate.startupError.get();
        inputs.version = shared->version;
        bridge.setInputs(std::move(inputs));
    };
    publish();

    std::vector<Subscription> subscriptions;
    subscriptions.push_back(monitor.observeRefreshInterval([publish](auto&) { publish(); }));
    subscriptions.push_back(login.isEnabled.observe([publish](auto&) { publish(); }));
    subscriptions.push_back(login.needsApproval.observe([publish](auto&) { publish(); }));
    subscriptions.push_back(login.errorMessage.observe([publish](auto&) { publish(); }));
    subscriptions.push_back(update.state.observe([publish](auto&) { publish(); }));
    subscriptions.push_back(update.startupError.observe([publish](auto&) { publish(); }));

    QObject::connect(&bridge, &SettingsMenuBridge::refreshIntervalSelected, &bridge,
                     [&monitor](double seconds) {
                         if (const auto interval = RefreshInterval::fromRawValue(seconds)) {
                             monitor.setRefreshInterval(*interval);
                         }
                     });
    QObject::connect(&bridge, &SettingsMenuBridge::launchAtLoginChanged, &bridge,
                     [&login](bool enabled) { login.setEnabled(enabled); });
    QObject::connect(&bridge, &SettingsMenuBridge::openLoginSettingsRequested, &bridge, [shared] {
        if (shared->openLoginSettings) shared->openLoginSettings();
    });
    QObject::connect(&bridge, &SettingsMenuBridge::checkForUpdatesRequested, &bridge,
                     [&update] { update.checkForUpdates(); });
    QObject::connect(&bridge, &SettingsMenuBridge::automaticChecksChanged, &bridge,
                     [&update](bool enabled) { update.setAutomaticChecks(enabled); });
    QObject::connect(&bridge, &SettingsMenuBridge::refreshRequested, &bridge,
                     [&monitor] { monitor.refresh(); });
    QObject::connect(&bridge, &SettingsMenuBridge::quitRequested, &bridge, [shared] {
        if (shared->quit) shared->quit();
    });
    return subscriptions;
}

}  // namespace pylonix
