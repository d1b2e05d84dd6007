#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "services/login_item_service.h"

namespace pylonix::linux_platform {

// The desktop application id; the autostart entry is "<id>.desktop".
inline constexpr const char* kApplicationId = "pylonix";

// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when XDG_CONFIG_HOME is unset, empty or
// relative (the base-directory rules ignore relative paths).
std::filesystem::path defaultAutostartDirectory();

// The login item as an XDG autostart entry. Linux has no approval step and no missing
// application, so the status is enabled or notRegistered. Failures are the operating system's
// own descriptions.
class XdgAutostartLoginItem : public LoginItemService {
public:
    // `executable` is what the entry starts: the installed program's absolute path, or a name
    // the session looks up in PATH.
    XdgAutostartLoginItem(std::filesystem::path autostartDirectory, std::string executable);

    const std::filesystem::path& entryPath() const { return entryPath_; }

    // enabled when the entry exists, can be read and is not switched off.
    LoginItemStatus status() const override;
    // Creates the folder when missing, then replaces the entry atomically: a temporary file in
    // the same folder, flushed to disk, renamed over the entry.
    std::optional<std::string> registerItem() override;
    // Removes the entry; an entry that does not exist is already unregistered.
    std::optional<std::string> unregisterItem() override;

private:
    std::filesystem::path directory_;
    std::filesystem::path entryPath_;
    std::string executable_;
};

// The application's login item: the user's autostart folder, starting the installed program.
std::unique_ptr<XdgAutostartLoginItem> makePlatformLoginItem();

}  // namespace pylonix::linux_platform
