#include "platform/linux/applications/desktop_process_identifier.h"

#include "platform/linux/applications/application_unit.h"

namespace pylonix::linux_platform {

DesktopProcessIdentifier::DesktopProcessIdentifier(DesktopEntryLocations locations,
                                                   std::filesystem::path root)
    : root_(std::move(root)), catalogue_(std::move(locations)), matcher_({}, {}, root_) {}

void DesktopProcessIdentifier::refreshIfChanged() {
    catalogue_.refreshIfChanged();
    if (matcherGeneration_ == catalogue_.generation()) return;
    matcher_ = DesktopEntryMatcher(catalogue_.entries(), catalogue_.locations().searchPath, root_);
    matcherGeneration_ = catalogue_.generation();
}

bool DesktopProcessIdentifier::needsCommandLine(const std::string& executable) {
    if (!matcherGeneration_) refreshIfChanged();
    return matcher_.needsCommandLine(executable);
}

const CatalogueEntry* DesktopProcessIdentifier::entryFor(
    const LaunchHints& hints, const std::string& executable,
    const std::vector<std::string>& commandLine) {
    if (!matcherGeneration_) refreshIfChanged();
    if (!hints.flatpakId.empty()) {
        if (const CatalogueEntry* entry = catalogue_.findById(hints.flatpakId)) return entry;
    }
    if (!hints.launcherDesktopFile.empty()) {
        if (const CatalogueEntry* entry =
                catalogue_.findByPath(std::string(hints.launcherDesktopFile))) {
            return entry;
        }
    }
    if (!hints.appImage.empty()) {
        if (const auto path = matcher_.entryForProgram(std::string(hints.appImage))) {
            return catalogue_.findByPath(*path);
        }
    }
    if (!executable.empty()) {
        if (const auto path = matcher_.match(executable, commandLine)) {
            return catalogue_.findByPath(*path);
        }
    }
    for (const std::string& id : applicationUnitDesktopIds(hints.systemdUnit)) {
        if (const CatalogueEntry* entry = catalogue_.findById(id)) return entry;
    }
    return nullptr;
}

}  // namespace pylonix::linux_platform
