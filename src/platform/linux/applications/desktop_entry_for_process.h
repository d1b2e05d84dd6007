#pragma once

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

// The path of the installed desktop entry that one process is, from the most particular
// evidence to the least:
// 1. its Flatpak sandbox (the id is the exported entry's desktop id);
// 2. the launcher's desktop file (recorded for this very process, not inherited);
// 3. its AppImage (the entry whose program is that file);
// 4. its command: executable and command line, by `matcher`;
// 5. its systemd unit (see desktopIdsFromUnit). The unit comes after the command because a
//    program started from a terminal stays in the terminal's unit.
// Nothing when none names an installed entry: the caller may still place the process through
// its parents. `commandLine` may be empty when matcher.needsCommandLine(executable) is false.
std::optional<std::string> desktopEntryForProcess(const LaunchHints& hints,
                                                  const std::string& executable,
                                                  const std::vector<std::string>& commandLine,
                                                  DesktopEntryCatalogue& catalogue,
                                                  const DesktopEntryMatcher& matcher);

}  // namespace pylonix::linux_platform
