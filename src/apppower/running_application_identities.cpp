#include "apppower/running_application_identities.h"

#include <unordered_map>

namespace pylonix {
namespace {

// "/Applications/Mail.app" gives "Mail": the last component without its extension.
std::string nameFromId(std::string_view id) {
    while (id.size() > 1 && id.ends_with('/')) id.remove_suffix(1);
    if (const std::size_t slash = id.rfind('/'); slash != std::string_view::npos) {
        id.remove_prefix(slash + 1);
    }
    if (const std::size_t dot = id.rfind('.'); dot != std::string_view::npos && dot > 0) {
        id = id.substr(0, dot);
    }
    return std::string(id);
}

}  // namespace

std::vector<RunningApplicationIdentity> runningApplicationIdentities(
    std::span<const PlatformRunningApplication> applications, const ApplicationIdRule& idRule) {
    std::vector<RunningApplicationIdentity> identities;
    std::unordered_map<std::string, std::size_t> indexById;
    for (const PlatformRunningApplication& application : applications) {
        if (application.isTerminated) continue;
        if (application.activationPolicy ==
            PlatformRunningApplication::ActivationPolicy::prohibited) {
            continue;
        }
        if (!application.bundlePath) continue;
        std::optional<std::string> id = idRule(*application.bundlePath);
        if (!id) continue;
        auto [found, isNew] = indexById.try_emplace(*id, identities.size());
        if (isNew) {
            std::string name =
                application.localizedName ? *application.localizedName : nameFromId(*id);
            identities.push_back({std::move(*id), std::move(name), {}});
        }
        // An instance without a process of its own (reported as -1) keeps its application
        // listed but gives it no process: id 0 or below would name the kernel or no one.
        if (application.processIdentifier >= 1) {
            identities[found->second].processIDs.insert(application.processIdentifier);
        }
    }
    return identities;
}

}  // namespace pylonix
