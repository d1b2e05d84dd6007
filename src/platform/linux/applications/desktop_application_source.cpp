#include "platform/linux/applications/desktop_application_source.h"

namespace pylonix::linux_platform {

DesktopApplicationSource::DesktopApplicationSource(
    std::unique_ptr<DesktopRunningApplications> applications)
    : applications_(std::move(applications)) {}

std::vector<PlatformRunningApplication> DesktopApplicationSource::runningApplications() {
    return applications_->list();
}

std::shared_ptr<const ApplicationIcon> DesktopApplicationSource::applicationIcon(
    const PlatformRunningApplication&) {
    return nullptr;
}

std::shared_ptr<const ApplicationIcon> DesktopApplicationSource::fileIcon(const std::string&) {
    static const auto kNoPicture = std::make_shared<const ApplicationIcon>();
    return kNoPicture;
}

std::optional<std::string> DesktopApplicationSource::applicationId(
    std::string_view bundlePath) const {
    return desktopApplicationId(bundlePath);
}

}  // namespace pylonix::linux_platform
