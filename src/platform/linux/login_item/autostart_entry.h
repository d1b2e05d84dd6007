#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pylonix::linux_platform {

// What an XDG autostart desktop entry says about starting its program. Keys follow the
// desktop-entry rule: a later line of the same key wins.
struct AutostartEntry {
    std::vector<std::string> exec;  // the Exec key as arguments; never empty
    std::optional<std::string> tryExec;
    // Hidden=true or X-GNOME-Autostart-enabled=false in the [Desktop Entry] group.
    bool switchedOff = false;
};

// The entry, or nothing when a session would not start anything from this text: no
// [Desktop Entry] group (empty or garbage text), a type other than Application, or no program
// in Exec.
std::optional<AutostartEntry> parseAutostartEntry(std::string_view contents);

// The text with the switch-off lines of its [Desktop Entry] group (Hidden=true,
// X-GNOME-Autostart-enabled=false) removed; every other line, comment and group as written.
std::string switchOnAutostartEntry(std::string_view contents);

// The text with its [Desktop Entry] group's Hidden lines replaced by one Hidden=true at the end
// of the group; every other line as written.
std::string switchOffAutostartEntry(std::string_view contents);

// The desktop entry that starts `executable` (an absolute path, or a name looked up in PATH)
// at login.
std::string makeAutostartEntry(std::string_view executable);

// One argument of a desktop entry's Exec key, quoted and escaped so that the launcher passes
// it on unchanged.
std::string quoteExecArgument(std::string_view argument);

}  // namespace pylonix::linux_platform
