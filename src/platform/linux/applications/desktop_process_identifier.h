#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/applications/desktop_entry_catalogue.h"
#include "platform/linux/applications/desktop_entry_matcher.h"

namespace pylonix::linux_platform {

// What the launcher or the sandbox left on a process that names its application; each part
// empty when absent.
struct LaunchHints {
    std::string_view systemdUnit;          // the unit or cgroup path of the process
    std::string_view launcherDesktopFile;  // GIO_LAUNCHED_DESKTOP_FILE, for that very process
    std::string_view appImage;             // APPIMAGE: the AppImage file the process runs from
    std::string_view flatpakId;            // the application id of the process's Flatpak sandbox
};

// Which installed desktop entry a process is: the user's desktop entries and their matcher,
// kept together. The entries are read and the matcher built on first use (whichever call comes
// first) and again by refreshIfChanged when the entry directories changed; that reads the file
// system, so use it where that may happen (the sampler's worker).
class DesktopProcessIdentifier {
  public:
    // `root` is where programs are looked up ("/" outside tests).
    explicit DesktopProcessIdentifier(DesktopEntryLocations locations,
                                      std::filesystem::path root = "/");

    // Reads the entries when their directories changed (see DesktopEntryCatalogue) and then
    // builds the matcher again.
    void refreshIfChanged();

    // Whether entryFor needs the command line of a process running `executable`. A scan that
    // asks before the first listing gets the answer for the installed entries.
    bool needsCommandLine(const std::string& executable);

    // The entry one process is, from the most particular evidence to the least:
    // 1. its Flatpak sandbox (the id is the exported entry's desktop id);
    // 2. the launcher's desktop file (recorded for this very process, not inherited);
    // 3. its AppImage (the entry whose program is that file);
    // 4. its command: executable and command line (see DesktopEntryMatcher);
    // 5. its systemd unit (see applicationUnitDesktopIds). The unit comes after the command
    //    because a program started from a terminal stays in the terminal's unit.
    // Null when none names an installed entry: the caller may still place the process through
    // its parents. `commandLine` may be empty where needsCommandLine(executable) is false.
    const CatalogueEntry* entryFor(const LaunchHints& hints, const std::string& executable,
                                   const std::vector<std::string>& commandLine);

    DesktopEntryCatalogue& catalogue() { return catalogue_; }

  private:
    std::filesystem::path root_;
    DesktopEntryCatalogue catalogue_;
    DesktopEntryMatcher matcher_;
    std::optional<std::uint64_t> matcherGeneration_;  // the catalogue's, when built
};

}  // namespace pylonix::linux_platform
