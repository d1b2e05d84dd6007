#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/login_item/autostart_entry.h"
#include "services/login_item_service.h"

namespace pylonix::linux_platform {

// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when XDG_CONFIG_HOME is unset, empty or
// relative (the base-directory rules ignore relative paths).
std::filesystem::path defaultAutostartDirectory();

// The login item as an XDG autostart entry, "<application id>.desktop". Linux has no approval step.
// The status is enabled when the entry exists, is not switched off and starts a program that
// exists; notRegistered when there is no entry or it is switched off; notFound when there is one
// that would start nothing (its program is gone, it cannot be parsed, it is not a regular file).
// Switching on and off keeps a user's entry and changes only its switch-off keys. Writes are
// atomic: a temporary file in the same folder, flushed to disk, renamed over the entry. Failures
// are the operating system's own descriptions.
class XdgAutostartLoginItem : public LoginItemService {
  public:
    // `executable` is what the entry starts: the installed program's absolute path, or a name
    // the session looks up in PATH.
    XdgAutostartLoginItem(std::filesystem::path autostartDirectory, std::string executable);

    const std::filesystem::path& entryPath() const { return entryPath_; }

    LoginItemStatus status() const override;
    // Creates the folder when missing. A switched-off entry that would start a program loses
    // its switch-off lines; anything else that is not enabled is replaced by an entry that
    // starts `executable`.
    std::optional<std::string> registerItem() override;
    // Marks an enabled entry Hidden=true; without one there is nothing to switch off.
    std::optional<std::string> unregisterItem() override;

  private:
    struct Entry {
        LoginItemStatus status;
        std::string contents;  // empty when there is no readable entry
    };

    Entry readEntry() const;
    bool startsAProgram(const AutostartEntry& entry) const;
    std::optional<std::string> writeEntry(const std::string& contents) const;

    std::filesystem::path directory_;
    std::filesystem::path entryPath_;
    std::string executable_;
    std::vector<std::filesystem::path> searchPath_;  // PATH when the item was made
};

// The running program's resolved path (/proc/self/exe), which the autostart entry starts; the
// installed path when it cannot be resolved.
std::string runningExecutable();

// The application's login item: the user's autostart folder, starting the running program.
std::unique_ptr<XdgAutostartLoginItem> makePlatformLoginItem();

}  // namespace pylonix::linux_platform
