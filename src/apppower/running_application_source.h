#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "apppower/process_record.h"
#include "apppower/running_application_identities.h"

namespace pylonix {

// An application's picture as the platform gives it. What it holds is the platform's business
// (an image the panel's toolkit can draw); the core only keeps and hands it on.
class ApplicationIcon {
  public:
    virtual ~ApplicationIcon() = default;
};

// The platform's running applications and their icons, found among the processes of one pass.
// Used on the sampler's worker, one call at a time; it may keep what it learnt about a process
// for as long as that process runs.
class RunningApplicationSource {
  public:
    virtual ~RunningApplicationSource() = default;

    // The running applications among `processes`, in the platform's order.
    virtual std::vector<PlatformRunningApplication> runningApplications(
        std::span<const ProcessRecord> processes) = 0;

    // The application's own icon, or null when it has none.
    virtual std::shared_ptr<const ApplicationIcon> applicationIcon(
        const PlatformRunningApplication& application) = 0;

    // The platform's icon of the file at `path` (an application id); never null.
    virtual std::shared_ptr<const ApplicationIcon> fileIcon(const std::string& path) = 0;

    // Turns an application's bundle location into its id.
    virtual std::optional<std::string> applicationId(std::string_view bundlePath) const = 0;
};

}  // namespace pylonix
