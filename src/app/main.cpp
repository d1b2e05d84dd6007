#include <QApplication>
#include <QQmlContext>
#include <QQuickView>
#include <QScreen>
#include <QVariantMap>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "app/pylonix_app.h"
#include "app/tray_application.h"
#include "app/tray_values.h"
#include "platform/linux/platform_power_reader.h"
#include "platform/linux/platform_update_driver.h"
#include "platform/linux/system_log.h"
#include "platform/linux/xdg_autostart_login_item.h"
#include "platform/qt/qsettings_preferences_store.h"
#include "platform/qt/qt_main_executor.h"
#include "services/launch_at_login_controller.h"
#include "services/software_update_controller.h"

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

QSize panelSize(const QScreen* screen) {
    constexpr int kWidth = 360;
    constexpr int kMaximumHeight = 780;
    constexpr int kScreenMargin = 60;
    if (screen == nullptr) return {kWidth, kMaximumHeight};
    return {kWidth,
            std::clamp(screen->availableGeometry().height() - kScreenMargin, 1, kMaximumHeight)};
}

QVariantMap labelProperties(const pylonix::TrayItemValues& values) {
    return {{QStringLiteral("valueText"), values.valueText},
            {QStringLiteral("accessibilityLabel"), values.accessibilityLabel},
            {QStringLiteral("tooltip"), values.tooltip}};
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
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

    const auto label = [&] {
        return pylonix::trayItemValues(monitor->snapshot(),
                                       softwareUpdate.state->availableVersion.has_value());
    };
    pylonix::TrayApplication tray({
        .panelLoader =
            [&](QQuickView& view) {
                view.rootContext()->setContextProperty(QStringLiteral("trayLabel"),
                                                       labelProperties(label()));
                view.setSource(QUrl(QStringLiteral("qrc:/qt/qml/Pylonix/App/TrayPanel.qml")));
                return view.status() == QQuickView::Ready;
            },
        .panelSize = panelSize,
        .panelOpened =
            [&] {
                monitor->start();
                launchAtLogin.refresh();
            },
        .panelClosed = {},
        .trayShowsLabels = trayLabelsFromEnvironment(),
    });

    // The label follows every snapshot and every change of the update state.
    const auto showLabel = [&] {
        const pylonix::TrayItemValues values = label();
        tray.show(values);
        if (QQuickView* view = tray.panel().view()) {
            view->rootContext()->setContextProperty(QStringLiteral("trayLabel"),
                                                    labelProperties(values));
        }
    };
    const pylonix::Subscription snapshots =
        monitor->observeSnapshot([&](const pylonix::PowerSnapshot&) { showLabel(); });
    const pylonix::Subscription updates =
        softwareUpdate.state.observe([&](const pylonix::SoftwareUpdateState&) { showLabel(); });
    showLabel();
    return QApplication::exec();
}
