#include "platform/linux/applications/desktop_running_applications.h"

#include "platform/linux/applications/desktop_applications.h"

namespace pylonix::linux_platform {

DesktopRunningApplications::DesktopRunningApplications(std::filesystem::path procRoot,
                                                       DesktopEntryLocations locations, uid_t uid)
    : proc_(std::move(procRoot)), catalogue_(std::move(locations)), uid_(uid) {}

std::vector<PlatformRunningApplication> DesktopRunningApplications::list() {
    catalogue_.refreshIfChanged();
    std::vector<PlatformRunningApplication> applications;
    const auto processes = proc_.userProcesses(uid_);
    if (!processes) return applications;
    for (const DesktopApplicationProcess& found :
         findDesktopApplicationProcesses(*processes, proc_, catalogue_)) {
        const DesktopEntry& entry = found.application->entry;
        PlatformRunningApplication application;
        application.activationPolicy = entry.noDisplay
                                           ? PlatformRunningApplication::ActivationPolicy::accessory
                                           : PlatformRunningApplication::ActivationPolicy::regular;
        application.bundlePath = found.application->path;
        application.localizedName = entry.name;
        application.processIdentifier = found.pid;
        applications.push_back(std::move(application));
    }
    return applications;
}

std::optional<std::string> DesktopRunningApplications::iconKey(const std::string& applicationId) {
    const CatalogueEntry* entry = catalogue_.findByPath(applicationId);
    return entry ? entry->entry.icon : std::nullopt;
}

std::optional<std::string> desktopApplicationId(std::string_view entryPath) {
    if (entryPath.empty()) return std::nullopt;
    return std::string(entryPath);
}

}  // namespace pylonix::linux_platform
