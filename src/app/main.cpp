#include <QApplication>
#include <QQmlContext>
#include <QQuickView>
#include <QScreen>
#include <QTimer>
#include <QVariantMap>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/tray_application.h"
#include "app/tray_values.h"
#include "platform/linux/platform_power_reader.h"

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

    const auto reader = pylonix::linux_platform::makePlatformPowerReader(powerSupplyRoot());
    pylonix::TrayItemValues values = pylonix::trayItemValues(reader->read(), false);

    pylonix::TrayApplication tray({
        .panelLoader =
            [&values](QQuickView& view) {
                view.rootContext()->setContextProperty(QStringLiteral("trayLabel"),
                                                       labelProperties(values));
                view.setSource(QUrl(QStringLiteral("qrc:/qt/qml/Pylonix/App/TrayPanel.qml")));
                return view.status() == QQuickView::Ready;
            },
        .panelSize = panelSize,
        .panelOpened = {},
        .panelClosed = {},
        .trayShowsLabels = trayLabelsFromEnvironment(),
    });

    const auto publish = [&] {
        values = pylonix::trayItemValues(reader->read(), false);
        tray.show(values);
        if (QQuickView* view = tray.panel().view()) {
            view->rootContext()->setContextProperty(QStringLiteral("trayLabel"),
                                                    labelProperties(values));
        }
    };
    tray.show(values);
    QTimer refresh;
    refresh.setTimerType(Qt::PreciseTimer);
    QObject::connect(&refresh, &QTimer::timeout, publish);
    refresh.start(1000);
    return QApplication::exec();
}
