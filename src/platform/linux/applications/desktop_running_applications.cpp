#include "platform/linux/applications/desktop_running_applications.h"

namespace pylonix::linux_platform {

DesktopRunningApplications::DesktopRunningApplications(DesktopEntryLocations locations)
    : identifier_(std::move(locations)) {}

const CatalogueEntry* DesktopRunningApplications::entryFor(const ProcessRecord& process) {
    const ProcessIdentityHints& hints = process.identity;
    return identifier_.entryFor(
        {hints.systemdUnit, hints.launcherDesktopFile, hints.appImage, hints.flatpakId},
        process.executablePath.value_or(""), hints.commandLine);
}

std::vector<PlatformRunningApplication> DesktopRunningApplications::list(
    std::span<const ProcessRecord> processes) {
    identifier_.refreshIfChanged();
    if (generation_ != identifier_.catalogue().generation()) {
        decisions_.clear();  // the entries were read again
        generation_ = identifier_.catalogue().generation();
    }
    ++pass_;
    std::vector<PlatformRunningApplication> applications;
    for (const ProcessRecord& process : processes) {
        auto [found, isNew] = decisions_.try_emplace(process.pid);
        Decision& decision = found->second;
        if (isNew || decision.startTime != process.startTime ||
            decision.executablePath != process.executablePath) {
            decision = {process.startTime, process.executablePath, std::nullopt, 0};
            if (const CatalogueEntry* entry = entryFor(process)) {
                decision.application = {entry->path, entry->entry.name, entry->entry.noDisplay};
            }
        }
        decision.pass = pass_;
        if (!decision.application) continue;
        PlatformRunningApplication running;
        running.activationPolicy = decision.application->noDisplay
                                       ? PlatformRunningApplication::ActivationPolicy::accessory
                                       : PlatformRunningApplication::ActivationPolicy::regular;
        running.bundlePath = decision.application->path;
        running.localizedName = decision.application->name;
        running.processIdentifier = process.pid;
        applications.push_back(std::move(running));
    }
    std::erase_if(decisions_, [this](const auto& item) { return item.second.pass != pass_; });
    return applications;
}

std::optional<std::string> DesktopRunningApplications::iconKey(const std::string& applicationId) {
    const CatalogueEntry* entry = identifier_.catalogue().findByPath(applicationId);
    return entry ? entry->entry.icon : std::nullopt;
}

std::optional<std::string> desktopApplicationId(std::string_view entryPath) {
    if (entryPath.empty()) return std::nullopt;
    return std::string(entryPath);
}

}  // namespace pylonix::linux_platform
