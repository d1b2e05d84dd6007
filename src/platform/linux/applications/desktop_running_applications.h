#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apppower/running_application_identities.h"
#include "platform/linux/applications/desktop_entry_catalogue.h"
#include "platform/linux/processes/proc_directory.h"

namespace pylonix::linux_platform {

// The running-application list on Linux: the user's processes that belong to desktop
// applications, one record per process, with the desktop entry's absolute path as the bundle
// location, its localized Name, and entries marked NoDisplay as accessory applications. The
// desktop entries are read once and again only when their directories change.
class DesktopRunningApplications {
public:
    DesktopRunningApplications(std::filesystem::path procRoot, DesktopEntryLocations locations,
                               uid_t uid);

    std::vector<PlatformRunningApplication> list();

    // The Icon key of the application with this id (its desktop entry's path), if it has one.
    std::optional<std::string> iconKey(const std::string& applicationId);

private:
    ProcDirectory proc_;
    DesktopEntryCatalogue catalogue_;
    uid_t uid_;
};

// The application id rule on Linux: a desktop entry's path is already the id.
std::optional<std::string> desktopApplicationId(std::string_view entryPath);

}  // namespace pylonix::linux_platform
