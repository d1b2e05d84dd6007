#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pylonix::linux_platform {

// The command that opens the desktop's own startup-applications settings: the tool of the
// running desktop (XDG_CURRENT_DESKTOP, a colon-separated list) first, then any installed one;
// nothing when none is installed.
std::optional<std::vector<std::string>> loginItemsSettingsCommand(
    std::string_view currentDesktop, const std::function<bool(const std::string&)>& isInstalled);

// Opens the startup-applications settings, or else the autostart folder (created when
// missing) in the file manager. False when neither could be opened.
bool openLoginItemsSettings(const std::filesystem::path& autostartDirectory);

}  // namespace pylonix::linux_platform
