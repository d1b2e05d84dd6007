#pragma once

#include <string>
#include <string_view>

namespace pylonix::linux_platform {

// Whether an XDG autostart desktop entry starts its program: false when its [Desktop Entry]
// group says Hidden=true or X-GNOME-Autostart-enabled=false, true otherwise.
bool isAutostartEntryEnabled(std::string_view contents);

// The desktop entry that starts `executable` (an absolute path, or a name looked up in PATH)
// at login.
std::string makeAutostartEntry(std::string_view executable);

// One argument of a desktop entry's Exec key, quoted and escaped so that the launcher passes
// it on unchanged.
std::string quoteExecArgument(std::string_view argument);

}  // namespace pylonix::linux_platform
