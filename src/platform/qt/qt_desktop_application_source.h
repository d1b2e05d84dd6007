#pragma once

#include <QIcon>
#include <memory>
#include <string>

#include "apppower/running_application_source.h"
#include "platform/linux/applications/desktop_running_applications.h"

namespace pylonix::qt_platform {

// An application icon the panel draws with Qt.
class QtApplicationIcon final : public ApplicationIcon {
public:
    explicit QtApplicationIcon(QIcon icon) : icon_(std::move(icon)) {}
    const QIcon& icon() const { return icon_; }

private:
    QIcon icon_;
};

// The desktop applications running for the user, with icons resolved through the icon theme:
// a desktop entry's Icon key is a theme icon name or an absolute file path. Without a usable
// Icon key the file icon of the desktop entry stands in (the icon of its file type). Needs a
// Qt GUI application and runs on the main thread, as QIcon does.
class QtDesktopApplicationSource final : public RunningApplicationSource {
public:
    explicit QtDesktopApplicationSource(
        std::unique_ptr<linux_platform::DesktopRunningApplications> applications);

    std::vector<PlatformRunningApplication> runningApplications(
        std::span<const ProcessRecord> processes) override;
    std::shared_ptr<const ApplicationIcon> applicationIcon(
        const PlatformRunningApplication& application) override;
    std::shared_ptr<const ApplicationIcon> fileIcon(const std::string& path) override;
    std::optional<std::string> applicationId(std::string_view bundlePath) const override;

private:
    std::unique_ptr<linux_platform::DesktopRunningApplications> applications_;
};

}  // namespace pylonix::qt_platform
