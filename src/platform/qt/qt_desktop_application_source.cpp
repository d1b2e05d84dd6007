#include "platform/qt/qt_desktop_application_source.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace pylonix::qt_platform {

QtDesktopApplicationSource::QtDesktopApplicationSource(
    std::unique_ptr<linux_platform::DesktopRunningApplications> applications)
    : applications_(std::move(applications)) {}

std::vector<PlatformRunningApplication> QtDesktopApplicationSource::runningApplications(
    std::span<const ProcessRecord> processes) {
    return applications_->list(processes);
}

std::shared_ptr<const ApplicationIcon> QtDesktopApplicationSource::applicationIcon(
    const PlatformRunningApplication& application) {
    if (!application.bundlePath) return nullptr;
    const std::optional<std::string> key = applications_->iconKey(*application.bundlePath);
    if (!key) return nullptr;
    const QString name = QString::fromStdString(*key);
    QIcon icon;
    if (name.startsWith('/')) {
        if (QFileInfo(name).isFile()) icon = QIcon(name);
    } else if (QIcon::hasThemeIcon(name)) {
        icon = QIcon::fromTheme(name);
    }
    if (icon.isNull()) return nullptr;
    return std::make_shared<QtApplicationIcon>(std::move(icon));
}

std::shared_ptr<const ApplicationIcon> QtDesktopApplicationSource::fileIcon(
    const std::string& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString(path));
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    // Without any icon theme this stays an empty icon: the row then shows no picture.
    return std::make_shared<QtApplicationIcon>(std::move(icon));
}

std::optional<std::string> QtDesktopApplicationSource::applicationId(
    std::string_view bundlePath) const {
    return linux_platform::desktopApplicationId(bundlePath);
}

}  // namespace pylonix::qt_platform
