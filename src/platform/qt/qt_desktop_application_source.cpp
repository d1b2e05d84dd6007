#include "platform/qt/qt_desktop_application_source.h"

#include <QBuffer>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>

#include "platform/linux/files/outside_file.h"

namespace pylonix::qt_platform {
namespace {

// Icon files are small; a larger one is not an icon.
constexpr std::size_t kIconFileLimit = 4 * 1024 * 1024;

std::vector<std::filesystem::path> paths(const QStringList& list) {
    std::vector<std::filesystem::path> result;
    for (const QString& path : list) {
        if (!path.startsWith(':')) result.emplace_back(path.toStdString());  // not resources
    }
    return result;
}

}  // namespace

QtDesktopApplicationSource::QtDesktopApplicationSource(
    std::unique_ptr<linux_platform::DesktopRunningApplications> applications,
    linux_platform::IconThemeSettings iconThemes)
    : applications_(std::move(applications)), themes_(std::move(iconThemes)) {}

linux_platform::IconThemeSettings QtDesktopApplicationSource::currentIconThemeSettings() {
    linux_platform::IconThemeSettings settings;
    settings.searchPaths = paths(QIcon::themeSearchPaths());
    settings.themeName = QIcon::themeName().toStdString();
    settings.fallbackThemeName = QIcon::fallbackThemeName().toStdString();
    settings.fallbackPaths = paths(QIcon::fallbackSearchPaths());
    settings.fallbackPaths.emplace_back("/usr/share/pixmaps");
    return settings;
}

std::vector<PlatformRunningApplication> QtDesktopApplicationSource::runningApplications(
    std::span<const ProcessRecord> processes) {
    return applications_->list(processes);
}

QImage QtDesktopApplicationSource::load(const std::string& name) {
    std::optional<std::filesystem::path> file;
    if (!name.empty() && name.front() == '/') {
        file = name;
    } else {
        file = themes_.find(name, kIconPixels);
    }
    if (!file) return {};
    const auto bytes = linux_platform::readOutsideFile(*file, kIconFileLimit);
    if (!bytes) return {};
    QByteArray data = QByteArray::fromStdString(*bytes);
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() > kIconPixels || size.height() > kIconPixels || reader.format() == "svg")) {
        reader.setScaledSize(size.scaled(kIconPixels, kIconPixels, Qt::KeepAspectRatio));
    }
    return reader.read();
}

std::shared_ptr<const ApplicationIcon> QtDesktopApplicationSource::applicationIcon(
    const PlatformRunningApplication& application) {
    if (!application.bundlePath) return nullptr;
    const std::optional<std::string> key = applications_->iconKey(*application.bundlePath);
    if (!key) return nullptr;
    QImage image = load(*key);
    if (image.isNull()) return nullptr;
    return std::make_shared<QtApplicationIcon>(std::move(image));
}

std::shared_ptr<const ApplicationIcon> QtDesktopApplicationSource::fileIcon(
    const std::string& path) {
    // By the name alone: the file itself is not opened.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString(path),
                                                           QMimeDatabase::MatchExtension);
    QImage image;
    for (const QString& name :
         {type.iconName(), type.genericIconName(), QStringLiteral("application-x-executable")}) {
        if (!image.isNull()) break;
        image = load(name.toStdString());
    }
    // Without any icon theme this stays an empty image: the row then shows no picture.
    return std::make_shared<QtApplicationIcon>(std::move(image));
}

std::optional<std::string> QtDesktopApplicationSource::applicationId(
    std::string_view bundlePath) const {
    return linux_platform::desktopApplicationId(bundlePath);
}

}  // namespace pylonix::qt_platform
