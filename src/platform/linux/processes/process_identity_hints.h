#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pylonix::linux_platform {

// The systemd unit a /proc/<pid>/cgroup file puts the process in: the innermost application
// unit ("app-…" ending in ".scope" or ".service") of any line, else the innermost unit of the
// last line that has one, unless an application's slice ("app-<id>.slice", where a terminal runs
// its tabs) holds it; empty when there is none. Launchers start applications in units named
// app[-<launcher>]-<desktop id>-<random>.scope or app[-<launcher>]-<desktop id>[@<random>].service.
std::string systemdUnitFromCgroup(std::string_view cgroupFile);

// The Flatpak application named by a sandbox's /.flatpak-info ("name" in its [Application]
// group); empty when there is none.
std::string flatpakIdFromInfo(std::string_view info);

// systemd's unit-name escaping undone: "\x2d" for '-', and so on.
std::string unescapeUnitName(std::string_view text);

// The Flatpak application of a unit named app-flatpak-<id>-<n>.scope; empty for other units.
std::string flatpakIdFromUnit(std::string_view unit);

// The launcher's variables in a process's environment.
struct LauncherVariables {
    std::optional<std::string> desktopFile;     // GIO_LAUNCHED_DESKTOP_FILE
    std::optional<std::string> desktopFilePid;  // GIO_LAUNCHED_DESKTOP_FILE_PID
    std::optional<std::string> appImage;        // APPIMAGE

    // The desktop file when it was recorded for `pid` itself: GIO_LAUNCHED_DESKTOP_FILE_PID is
    // absent or names it (children inherit the variable; they are found through their parents).
    std::optional<std::string> desktopFileFor(std::int32_t pid) const;

    bool operator==(const LauncherVariables&) const = default;
};

// Finds the launcher's variables in an environment (NUL-separated KEY=value pairs) handed over
// in pieces of any size, wherever in it they are. Keeps only the start of an entry that may
// still be one of them, and values up to 4 KiB, so memory stays flat whatever the environment
// holds. The first definition of a variable counts, as for getenv.
class LauncherEnvironmentScanner {
  public:
    // Takes the next piece; false once every variable was found and the rest can be skipped.
    bool feed(std::string_view piece);

    // What was found; an entry cut off at the end of the environment does not count.
    const LauncherVariables& variables() const { return found_; }

  private:
    void finishEntry();

    std::string entry_;      // the current entry so far, while it may be a wanted one
    bool skipping_ = false;  // the current entry is not wanted: skip to its end
    LauncherVariables found_;
};

}  // namespace pylonix::linux_platform
