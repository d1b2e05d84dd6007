#include <QApplication>
#include <QQuickView>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "app/application_objects.h"
#include "app/command_line.h"
#include "app/panel_window.h"
#include "app/qt_platform_choice.h"
#include "app/single_instance.h"
#include "app/terminal/terminal_entry.h"
#include "app/tray_application.h"
#include "app/tray_values.h"
#include "common/application_info.h"
#include "platform/linux/desktop/desktop_color_scheme.h"
#include "platform/linux/desktop/desktop_reduce_motion.h"
#include "platform/linux/login_item/login_items_settings.h"
#include "platform/linux/login_item/xdg_autostart_login_item.h"
#include "platform/qt/qsettings_preferences_store.h"
#include "platform/qt/qt_desktop_application_source.h"
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

std::optional<double> visibleHeight(const QScreen* screen) {
    if (screen == nullptr) return std::nullopt;
    return pylonix::availableArea(*screen).height();
}

// The icon cache's icons as the panel's image provider serves them (loaded on the worker).
QHash<QString, QImage> iconImages(const pylonix::ApplicationPowerMonitor::IconCache& icons) {
    QHash<QString, QImage> images;
    for (const auto& [id, icon] : icons) {
        const auto* qtIcon =
            dynamic_cast<const pylonix::qt_platform::QtApplicationIcon*>(icon.get());
        if (qtIcon == nullptr || qtIcon->image().isNull()) continue;
        images.insert(QString::fromStdString(id), qtIcon->image());
    }
    return images;
}

QSize panelSize(const QScreen* screen) {
    return {static_cast<int>(pylonix::kPanelWidth),
            std::max(1, static_cast<int>(pylonix::panelHeight(visibleHeight(screen))))};
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const auto status = pylonix::handleEarlyAction(argc, argv)) return *status;
    // --terminal, or no display at all: the live view in the terminal instead of the tray.
    if (const std::optional<int> status = pylonix::runTerminalWhenChosen(argc, argv))
        return *status;

    pylonix::chooseQtPlatform();
    QApplication application(argc, argv);
    if (!pylonix::reportQtPlatformFallback()) return 1;
    QApplication::setApplicationName(QStringLiteral("pylonix"));
    QApplication::setOrganizationName(QStringLiteral("Pylonix"));
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QString::fromUtf8(pylonix::kApplicationId));

    // One instance per session: a later start opens this one's panel and ends.
    pylonix::SingleInstance instance;
    if (const auto status = pylonix::exitStatusFor(instance.claim())) return *status;

    // Start-up: every long-lived object from one description of the platform; the power monitor
    // reads twice and starts its loop before anything is shown.
    pylonix::qt_platform::QtMainExecutor executor;
    pylonix::qt_platform::QSettingsPreferencesStore preferences;
    pylonix::ApplicationObjects objects(
        {executor, preferences,
         pylonix::platformRootsFromEnvironment(pylonix::processEnvironmentVariable)});
    const std::shared_ptr<pylonix::PowerMonitor>& monitor = objects.monitor();
    pylonix::LaunchAtLoginController& launchAtLogin = *objects.launchAtLogin();
    pylonix::SoftwareUpdateController& softwareUpdate = *objects.softwareUpdate();
    pylonix::ApplicationPowerMonitor& applicationPower = objects.applicationPower();
    // Application power is sampled only while the panel is open.
    std::optional<pylonix::CancellationSource> sampling;

    const auto updateAvailable = [&] { return softwareUpdate.state->availableVersion.has_value(); };

    // The panel draws what its bridge computes from the monitor and the controllers.
    pylonix::PanelBridge panel;
    const pylonix::linux_platform::DesktopColorScheme colorScheme;
    const auto followColorScheme = [&panel](bool dark) {
        panel.setColorScheme(dark ? pylonix::ColorScheme::dark : pylonix::ColorScheme::light);
    };
    followColorScheme(colorScheme.prefersDark());
    QObject::connect(&colorScheme, &pylonix::linux_platform::DesktopColorScheme::prefersDarkChanged,
                     &panel, followColorScheme);
    const pylonix::linux_platform::DesktopReduceMotion reduceMotion;
    QObject::connect(&reduceMotion,
                     &pylonix::linux_platform::DesktopReduceMotion::reduceMotionChanged, &panel,
                     &pylonix::PanelBridge::setReduceMotion);
    const auto panelInput = [&](const QScreen* screen) {
        pylonix::PanelInput input = panel.input();
        input.snapshot = monitor->snapshot();
        input.applicationPower = applicationPower.snapshot();
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

    // Opening: the work starts before the scene is built, so that the application section is
    // `collecting` from its first frame; the motion gate opens once the panel is on screen.
    const auto stopPanelWork = [&] {
        panel.setVisible(false);
        if (sampling) {
            sampling->cancel();
            sampling.reset();
        }
    };
    pylonix::TrayApplication tray({
        .panelLoader =
            [&](QQuickView& view) {
                monitor->start();
                launchAtLogin.refresh();
                panel.beginOpening();
                if (!sampling) {
                    sampling.emplace();
                    applicationPower.run(sampling->token());
                }
                // The panel is fed only while it exists: from here until it closes (its screen
                // is known once it is open).
                panel.setInput(panelInput(QGuiApplication::primaryScreen()));
                if (pylonix::loadPowerPanel(view, panel)) return true;
                stopPanelWork();
                return false;
            },
        .panelSize = panelSize,
        .panelOpened =
            [&] {
                panel.setInput(panelInput(tray.panel().view()->screen()));
                panel.setVisible(true);
            },
        .panelClosed = stopPanelWork,
        .refreshNow = [&] { monitor->refresh(); },
        .quit = [] { QApplication::quit(); },
        .trayShowsLabels = trayLabelsFromEnvironment(),
    });

    QObject::connect(&instance, &pylonix::SingleInstance::activated,
                     [&] { tray.panel().open(QRect()); });

    // The label follows every snapshot and every change of the update state, and so does the
    // panel while it is open; a closed panel's view models are not computed.
    const auto show = [&] {
        tray.show(pylonix::trayItemValues(monitor->snapshot(), updateAvailable()));
        if (const QQuickView* view = tray.panel().view())
            panel.setInput(panelInput(view->screen()));
    };
    const pylonix::Subscription snapshots =
        monitor->observeSnapshot([&](const pylonix::PowerSnapshot&) { show(); });
    const pylonix::Subscription applications =
        applicationPower.observeSnapshot([&](const pylonix::ApplicationPowerSnapshot&) {
            panel.applicationIcons()->setIcons(iconImages(applicationPower.icons()));
            show();
        });
    const pylonix::Subscription updates =
        softwareUpdate.state.observe([&](const pylonix::SoftwareUpdateState&) { show(); });
    const pylonix::Subscription updateErrors =
        softwareUpdate.startupError.observe([&](const std::optional<std::string>&) { show(); });
    show();
    // The panel's scene is built and drawn once, off screen, once the tray item is up, so that
    // the first click does not pay for what every later opening finds ready.
    QTimer::singleShot(1000, &tray, [&] {
        tray.panel().prepare(
            [&](QQuickView& view) { return pylonix::loadPowerPanel(view, panel); });
    });
    return QApplication::exec();
}
