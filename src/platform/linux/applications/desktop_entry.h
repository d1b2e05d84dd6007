#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pylonix::linux_platform {

// The parts of a desktop entry file ("[Desktop Entry]" group) that identify an application.
struct DesktopEntry {
    std::string type;                 // "Application", "Link", "Directory"
    std::string name;                 // Name, for the locale given to the parser
    std::optional<std::string> icon;  // Icon: a theme icon name or an absolute path
    std::optional<std::string> tryExec;
    std::vector<std::string> exec;  // Exec as arguments, field codes removed
    bool noDisplay = false;
    bool hidden = false;
    bool terminal = false;

    // An application entry that is not hidden and has a name: the ones that count.
    bool isShownApplication() const { return type == "Application" && !hidden && !name.empty(); }
};

// Parses a desktop entry file. `locale` is the user's message locale in the POSIX form
// (lang_COUNTRY.ENCODING@MODIFIER, for example "zh_CN.UTF-8"); the localized Name that matches
// it best wins over the plain one. Nothing when the file has no "[Desktop Entry]" group.
// Lines that are neither groups, comments nor key=value pairs are ignored.
std::optional<DesktopEntry> parseDesktopEntry(std::string_view text, std::string_view locale);

// Undoes the escapes of a string value: \s \n \t \r \\ (an unknown escape is kept as is).
std::string unescapeDesktopValue(std::string_view value);

// Splits an Exec value (already unescaped) into its arguments: double quotes group, and inside
// them a backslash escapes " ` $ and \. Field codes (%f %F %u %U %i %c %k and the deprecated
// ones) are dropped, %% becomes %. Nothing for a value with an unterminated quote.
std::optional<std::vector<std::string>> splitExecValue(std::string_view value);

// The absolute directories of a colon-separated list (PATH, XDG_DATA_DIRS); relative and empty
// parts are left out. Nothing for a null value.
std::vector<std::filesystem::path> splitPathList(const char* value);

}  // namespace pylonix::linux_platform
