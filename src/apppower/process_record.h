#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pylonix {

// What a process says about the application it belongs to, as far as the platform can tell
// without matching it to anything. Each is empty where the platform has no such thing or the
// process does not carry it.
struct ProcessIdentityHints {
    std::string systemdUnit;          // the innermost unit of its cgroup ("app-…-1234.scope")
    std::string launcherDesktopFile;  // the desktop entry its launcher named for this very process
    std::string appImage;             // the AppImage it runs from (APPIMAGE)
    std::string flatpakId;            // the Flatpak application it runs in
    std::vector<std::string> commandLine;  // read only where matching needs it

    bool operator==(const ProcessIdentityHints&) const = default;
};

// One process of the user as one sampling pass saw it.
struct ProcessRecord {
    std::int32_t pid = 0;
    std::int32_t parentPID = 0;                     // 0 when unknown
    std::optional<std::string> executablePath;      // valid UTF-8; absent when it cannot be read
    std::uint64_t startTime = 0;                    // the platform's start stamp, same unit for all
    std::optional<std::uint64_t> energyNanojoules;  // cumulative CPU energy; absent: unreadable
    ProcessIdentityHints identity;

    bool operator==(const ProcessRecord&) const = default;
};

// The user's processes of one pass, and this program's own energy counter (absent when it
// cannot be read), which tells "no counters on this system" from "not ours to read".
struct ProcessPass {
    std::vector<ProcessRecord> processes;
    std::optional<std::uint64_t> ownEnergyNanojoules;

    bool operator==(const ProcessPass&) const = default;
};

// Why a pass has no process list at all.
enum class ProcessListFailure {
    notPermitted,  // the system does not let this program list processes
    unreadable,    // the list could not be read this time
};

// Bytes of a path as UTF-8 text: everything before the first zero byte, invalid sequences
// replaced by U+FFFD.
std::string decodeExecutablePath(std::string_view bytes);

}  // namespace pylonix
