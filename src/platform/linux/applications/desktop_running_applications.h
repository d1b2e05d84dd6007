#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "apppower/process_record.h"
#include "apppower/running_application_identities.h"
#include "platform/linux/applications/desktop_process_identifier.h"

namespace pylonix::linux_platform {

// The running-application list on Linux: the processes of a pass that belong to desktop
// applications, one record per process, with the desktop entry's absolute path as the bundle
// location, its localized Name, and entries marked NoDisplay as accessory applications. The
// desktop entries are read on the first listing and again only when their directories change;
// which entry a process belongs to is decided once per process (its id, start time and
// executable) and forgotten when a pass no longer holds it. Used on the sampler's worker.
class DesktopRunningApplications {
  public:
    explicit DesktopRunningApplications(DesktopEntryLocations locations);

    std::vector<PlatformRunningApplication> list(std::span<const ProcessRecord> processes);

    // The Icon key of the application with this id (its desktop entry's path), if it has one.
    std::optional<std::string> iconKey(const std::string& applicationId);

    // Whether the command line of a process that runs `executablePath` is needed to tell its
    // application (see DesktopEntryMatcher).
    bool needsCommandLine(const std::string& executablePath) {
        return identifier_.needsCommandLine(executablePath);
    }

  private:
    // The one place that decides which desktop entry a process belongs to (see
    // DesktopProcessIdentifier::entryFor).
    const CatalogueEntry* entryFor(const ProcessRecord& process);

    // What the list needs of a process's entry, copied: entries outside the catalogue's
    // directories may be dropped from it.
    struct Application {
        std::string path;
        std::string name;
        bool noDisplay = false;
    };
    struct Decision {
        std::uint64_t startTime = 0;
        std::optional<std::string> executablePath;
        std::optional<Application> application;
        std::uint64_t pass = 0;
    };

    DesktopProcessIdentifier identifier_;
    std::unordered_map<std::int32_t, Decision> decisions_;
    std::uint64_t generation_ = 0;
    std::uint64_t pass_ = 0;
};

// The application id rule on Linux: a desktop entry's path is already the id.
std::optional<std::string> desktopApplicationId(std::string_view entryPath);

}  // namespace pylonix::linux_platform
