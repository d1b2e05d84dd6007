#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "apppower/application_bundle_path.h"
#include "apppower/application_power_model.h"

namespace pylonix {

// One entry of the platform's running-application list, as plain values.
struct PlatformRunningApplication {
    enum class ActivationPolicy : std::int8_t { regular = 0, accessory = 1, prohibited = 2 };

    bool isTerminated = false;
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    std::optional<std::string> bundlePath;  // the bundle location as a file path
    std::optional<std::string> localizedName;
    std::int32_t processIdentifier = 0;

    bool operator==(const PlatformRunningApplication&) const = default;
};

// Turns a bundle location into an application id, or nothing when it is not an application's.
using ApplicationIdRule = std::function<std::optional<std::string>(std::string_view)>;

// The running applications grouped by application id, in the order each id is first seen.
// Terminated and background-only instances are skipped, and so are instances without a bundle
// location or whose location `idRule` does not accept. Instances with the same id are one
// identity with all their process ids, named after the first instance (its localized name, or
// the id's last component without its extension when it has none). Process ids below 1 are not
// processes and are left out.
//
// `idRule` is `applicationBundlePath` for application bundles; a platform whose applications are
// identified otherwise (for example by their desktop entry's path) passes its own.
std::vector<RunningApplicationIdentity> runningApplicationIdentities(
    std::span<const PlatformRunningApplication> applications,
    const ApplicationIdRule& idRule = applicationBundlePath);

}  // namespace pylonix
