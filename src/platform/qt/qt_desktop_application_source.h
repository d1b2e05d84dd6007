#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "apppower/running_application_source.h"
#include "platform/linux/applications/desktop_running_applications.h"
#include "platform/linux/applications/icon_theme_lookup.h"

namespace pylonix::qt_platform {

// An application icon the panel draws with Qt: an image at the panel's largest icon size.
class QtApplicationIcon final : public ApplicationIcon {
  public:
    explicit QtApplicationIcon(QImage image) : image_(std::move(image)) {}
    const QImage& image() const { return image_; }

  private:
    QImage image_;
};

// The desktop applications running for the user, with their icons: a desktop entry's Icon key
// is an icon theme name or an absolute file path. Without a usable Icon key the icon of the
// entry's file type stands in. Everything is read on the calling thread (the sampler's worker):
// the theme's index files and the icon files through the safe reader, decoded with QImageReader,
// which is safe off the main thread, unlike QIcon's theme lookups.
class QtDesktopApplicationSource final : public RunningApplicationSource {
  public:
    static constexpr int kIconPixels = 52;  // 26 points at up to 2x

    QtDesktopApplicationSource(
        std::unique_ptr<linux_platform::DesktopRunningApplications> applications,
        linux_platform::IconThemeSettings iconThemes);

    // The icon theme settings of this Qt application (its theme and search paths). Main thread.
    static linux_platform::IconThemeSettings currentIconThemeSettings();

    std::vector<PlatformRunningApplication> runningApplications(
        std::span<const ProcessRecord> processes) override;
    std::shared_ptr<const ApplicationIcon> applicationIcon(
        const PlatformRunningApplication& application) override;
    std::shared_ptr<const ApplicationIcon> fileIcon(const std::string& path) override;
    std::optional<std::string> applicationId(std::string_view bundlePath) const override;

  private:
    // The icon named `name` (a theme name or an absolute path), or a null image.
    QImage load(const std::string& name);

    std::unique_ptr<linux_platform::DesktopRunningApplications> applications_;
    linux_platform::IconThemeLookup themes_;
};

}  // namespace pylonix::qt_platform
