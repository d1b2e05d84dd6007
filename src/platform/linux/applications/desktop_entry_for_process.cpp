#include "platform/linux/applications/desktop_entry_for_process.h"

#include "platform/linux/applications/application_unit.h"

namespace pylonix::linux_platform {

std::optional<std::string> desktopEntryForProcess(const LaunchHints& hints,
                                                  const std::string& executable,
                                                  const std::vector<std::string>& commandLine,
                                                  DesktopEntryCatalogue& catalogue,
                                                  const DesktopEntryMatcher& matcher) {
    if (!hints.flatpakId.empty()) {
        if (const CatalogueEntry* entry = catalogue.findById(hints.flatpakId)) return entry->path;
    }
    if (!hints.launcherDesktopFile.empty()) {
        if (const CatalogueEntry* entry =
                catalogue.findByPath(std::string(hints.launcherDesktopFile))) {
            return entry->path;
        }
    }
    if (!hints.appImage.empty()) {
        if (auto path = matcher.entryForProgram(std::string(hints.appImage))) return path;
    }
    if (!executable.empty()) {
        if (auto path = matcher.match(executable, commandLine)) return path;
    }
    for (const std::string& id : desktopIdsFromUnit(hints.systemdUnit)) {
        if (const CatalogueEntry* entry = catalogue.findById(id)) return entry->path;
    }
    return std::nullopt;
}

}  // namespace pylonix::linux_platform
