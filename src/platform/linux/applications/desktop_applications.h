#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/applications/desktop_entry_catalogue.h"
#include "platform/linux/processes/proc_directory.h"

namespace pylonix::linux_platform {

// One process of the user that belongs to a desktop application.
struct DesktopApplicationProcess {
    std::int32_t pid = 0;
    const CatalogueEntry* application = nullptr;  // owned by the catalogue
};

// The desktop ids a systemd application unit in a /proc/<pid>/cgroup file may stand for,
// most specific first. Launchers start applications in units named
// app[-<launcher>]-<desktop id>-<random>.scope or app[-<launcher>]-<desktop id>[@<random>].service
// (Flatpak: app-flatpak-<id>-<n>.scope; GNOME: app-gnome-<id>-<pid>.scope), with '-' inside the
// id escaped as \x2d; whether a launcher part is there cannot be told from the name, so both
// readings are returned. Empty when no cgroup path holds such a unit; the innermost one counts.
std::vector<std::string> desktopIdsFromCgroup(std::string_view cgroupFile);

// The desktop entry a launcher recorded in a process's environment (NUL-separated KEY=value
// pairs): GIO_LAUNCHED_DESKTOP_FILE, when GIO_LAUNCHED_DESKTOP_FILE_PID is absent or names
// `pid` itself (children inherit the variable; they are found through their parents instead).
std::optional<std::string> launchedDesktopFile(std::string_view environ, std::int32_t pid);

// The user's processes that belong to desktop applications, in the order of `processes`:
// by the application unit of their cgroup, then by the launcher's environment variable, then
// by their executable matched to an entry's TryExec or Exec program. Reads each process's
// cgroup file, and its environment only when the cgroup names no application.
std::vector<DesktopApplicationProcess> findDesktopApplicationProcesses(
    const std::vector<ProcProcess>& processes, const ProcDirectory& proc,
    DesktopEntryCatalogue& catalogue);

}  // namespace pylonix::linux_platform
