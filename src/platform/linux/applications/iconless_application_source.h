#pragma once

#include <memory>

#include "apppower/running_application_source.h"
#include "platform/linux/applications/desktop_running_applications.h"

namespace pylonix::linux_platform {

// The running desktop applications without icons, for tools and benchmarks that show none:
// every application's own icon is absent and its file icon empty.
class IconlessApplicationSource final : public RunningApplicationSource {
  public:
    explicit IconlessApplicationSource(DesktopEntryLocations locations)
        : list_(std::move(locations)) {}

    DesktopRunningApplications& list() { return list_; }

    std::vector<PlatformRunningApplication> runningApplications(
        std::span<const ProcessRecord> processes) override {
        return list_.list(processes);
    }
    std::shared_ptr<const ApplicationIcon> applicationIcon(
        const PlatformRunningApplication&) override {
        return nullptr;
    }
    std::shared_ptr<const ApplicationIcon> fileIcon(const std::string&) override {
        return std::make_shared<ApplicationIcon>();
    }
    std::optional<std::string> applicationId(std::string_view bundlePath) const override {
        return desktopApplicationId(bundlePath);
    }

  private:
    DesktopRunningApplications list_;
};

}  // namespace pylonix::linux_platform
