#pragma once

#include <memory>
#include <string>

#include "apppower/running_application_source.h"
#include "platform/linux/applications/desktop_running_applications.h"

namespace pylonix::linux_platform {

// The desktop applications running for the user, without pictures: every application has no
// icon of its own and the same empty file icon. What a view without images (a terminal) needs;
// a toolkit adds icons by overriding the two icon functions.
class DesktopApplicationSource : public RunningApplicationSource {
  public:
    explicit DesktopApplicationSource(std::unique_ptr<DesktopRunningApplications> applications);

    std::vector<PlatformRunningApplication> runningApplications() override;
    std::shared_ptr<const ApplicationIcon> applicationIcon(
        const PlatformRunningApplication& application) override;
    std::shared_ptr<const ApplicationIcon> fileIcon(const std::string& path) override;
    std::optional<std::string> applicationId(std::string_view bundlePath) const override;

  protected:
    DesktopRunningApplications& applications() { return *applications_; }

  private:
    std::unique_ptr<DesktopRunningApplications> applications_;
};

}  // namespace pylonix::linux_platform
