#include <QApplication>
#include <QQuickView>
#include <QScreen>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "app/pylonix_app.h"
#include "app/qt_platform_choice.h"
#include "app/tray_application.h"
#include "app/tray_values.h"
#include "common/application_info.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/desktop/desktop_reduce_motion.h"
#include "platform/linux/login_item/login_items_settings.h"
#include "platform/linux/login_item/xdg_autostart_login_item.h"
#include "platform/linux/updates/platform_update_driver.h"
#include "platform/linux/updates/system_log.h"
#include "platform/qt/application_power_monitor_factory.h"
#include "platform/qt/qsettings_preferences_store.h"
#include "platform/qt/qt_main_executor.h"
#include "services/launch_at_login_controller.h"
#include "services/software_update_controller.h"
#include "ui/panel_layout.h"
#include "ui/qml/application_icon_provider.h"
#include "ui/qml/panel_bridge.h"
#include "ui/qml/settings_menu_connection.h"

namespace {

// "PYLONIX_TRAY_LABELS=1" (or 0) says whether the StatusNotifierItem host shows labels, for a
// host that the detection gets wrong.
std::optional<bool> trayLabelsFromEnvironment() {
    const char* value = std::getenv("PYLONIX_TRAY_LABELS");  // NOLINT(concurrency-mt-unsafe)
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string_view(value) != "0";
}

// "PYLONIX_POWER_SUPPLY_ROOT" reads the batteries from another tree than
// /sys/class/power_supply: a recorded one, for tests and demonstrations.
std::filesystem::path powerSupplyRoot() {
    const char* value = std::getenv("PYLONIX_POWER_SUPPLY_ROOT");  // NOLINT(concurrency-mt-unsafe)
    if (value == nullptr || *value == '\0') {
        return pylonix::linux_platform::kDefaultPowerSupplyRoot;
    }
    return value;
}

std::optional<double> visibleHeight(const QScreen* screen) {
    if (screen == nullptr) return std::nullopt;
    return screen->availableGeometry().height();
}

// The icon cache's icons as the panel's image provider serves them: 26 points at up to 2x.
QHash<QString, QImage> iconImages(const pylonix::ApplicationPowerMonitor::IconCache& icons) {
    constexpr int kIconPixels = 52;
    QHash<QString, QImage> images;
    for (const auto& [id, icon] : icons) {
        const auto* qtIcon =
            dynamic_cast<const pylonix::qt_platform::QtApplicationIcon*>(icon.get());
        if (qtIcon == nullptr || qtIcon->icon().isNull()) continue;
        images.insert(QString::fromStdString(id),
                      qtIcon->icon().pixmap(kIconPixels, kIconPixels).toImage());
    }
    return images;
}

QSize panelSize(const QScreen* screen) {
    return {static_cast<int>(pylonix::kPanelWidth),
            std::max(1, static_cast<int>(pylonix::panelHeight(visibleHeight(screen))))};
}

}  // namespace

int main(int argc, char* argv[]) {
    pylonix::chooseQtPlatform();
    QApplication application(argc, argv);
    pylonix::reportQtPlatformFallback();
    QApplication::setApplicationName(QStringLiteral("pylonix"));
    QApplication::setOrganizationName(QStringLiteral("Pylonix"));
    QApplication::setQuitOnLastWindowClosed(false);

    // Start-up: the power monitor reads twice and starts its loop before anything is shown.
    pylonix::qt_platform::QtMainExecutor executor;
    pylonix::qt_platform::QSettingsPreferencesStore preferences;
    pylonix::PylonixApp app({executor, preferences,
                             pylonix::linux_platform::makePlatformPowerReader(powerSupplyRoot())});
    const std::shared_ptr<pylonix::PowerMonitor>& monitor = app.monitor();

    // The tray scene's first build: the login item and the updater.
    const auto loginItem = pylonix::linux_platform::makePlatformLoginItem();
    pylonix::LaunchAtLoginController launchAtLogin(*loginItem);
    pylonix::SoftwareUpdateController softwareUpdate(
        pylonix::linux_platform::makePlatformUpdateDriver(), !app.isRunningTests(),
        pylonix::linux_platform::writeSystemLog);

    // Application power is sampled only while the panel is open.
    const auto applicationPower = pylonix::qt_platform::makeLinuxApplicationPower(executor);
    std::optional<pylonix::CancellationSource> sampling;

    const auto updateAvailable = [&] { return softwareUpdate.state->availableVersion.has_value(); };

    // The panel draws what its bridge computes from the monitor and the controllers.
    pylonix::PanelBridge panel;
    panel.setReduceMotion(pylonix::linux_platform::desktopRequestsReducedMotion());
    const auto panelInput = [&](const QScreen* screen) {
        pylonix::PanelInput input = panel.input();
        input.snapshot = monitor->snapshot();
        input.applicationPower = applicationPower->monitor->snapshot();
        input.hasAvailableVersion = updateAvailable();
        input.canCheckForUpdates = softwareUpdate.state->canCheckForUpdates;
        input.hasSoftwareUpdateError = softwareUpdate.startupError->has_value();
        input.version = pylonix::kApplicationVersion;
        input.screenVisibleHeight = visibleHeight(screen);
        return input;
    };
    QObject::connect(&panel, &pylonix::PanelBridge::checkForUpdatesRequested,
                     [&] { softwareUpdate.checkForUpdates(); });
    const std::vector<pylonix::Subscription> settingsConnections = pylonix::connectSettingsMenu(
        panel.settings(), {.monitor = *monitor,
                           .launchAtLogin = launchAtLogin,
                           .softwareUpdate = softwareUpdate,
                           .version = pylonix::kApplicationVersion,
                           .openLoginSettings =
                               [] {
                                   pylonix::linux_platform::openLoginItemsSettings(
                                       pylonix::linux_platform::defaultAutostartDirectory());
                               },
                           .quit = [] { QApplication::quit(); }});

    pylonix::TrayApplication tray({
        .panelLoader = [&](QQuickView& view) { return pylonix::loadPowerPanel(view, panel); },
        .panelSize = panelSize,
        .panelOpened =
            [&] {
                monitor->start();
                launchAtLogin.refresh();
                panel.setShowsPowerDetails(false);
                panel.setVisible(true);
                if (!sampling) {
                    sampling.emplace();
                    applicationPower->monitor->run(sampling->token());
                }
            },
        .panelClosed =
            [&] {
                panel.setVisible(false);
                if (sampling) {
                    sampling->cancel();
                    sampling.reset();
                }
            },
        .refreshNow = [&] { monitor->refresh(); },
        .quit = [] { QApplication::quit(); },
        .trayShowsLabels = trayLabelsFromEnvironment(),
    });

    // The label and the panel follow every snapshot and every change of the update state.
    const auto show = [&] {
        tray.show(pylonix::trayItemValues(monitor->snapshot(), updateAvailable()));
        const QQuickView* view = tray.panel().view();
        panel.setInput(
            panelInput(view != nullptr ? view->screen() : QGuiApplication::primaryScreen()));
    };
    const pylonix::Subscription snapshots =
        monitor->observeSnapshot([&](const pylonix::PowerSnapshot&) { show(); });
    const pylonix::Subscription applications =
        applicationPower->monitor->observeSnapshot([&](const pylonix::ApplicationPowerSnapshot&) {
            panel.applicationIcons()->setIcons(iconImages(applicationPower->monitor->icons()));
            show();
        });
    const pylonix::Subscription updates =
        softwareUpdate.state.observe([&](const pylonix::SoftwareUpdateState&) { show(); });
    const pylonix::Subscription updateErrors =
        softwareUpdate.startupError.observe([&](const std::optional<std::string>&) { show(); });
    show();
    return QApplication::exec();
}
