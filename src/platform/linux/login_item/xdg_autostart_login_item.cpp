#include "platform/linux/login_item/xdg_autostart_login_item.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "common/application_info.h"
#include "platform/linux/login_item/autostart_entry.h"
#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

constexpr std::size_t kEntrySizeLimit = 64 * 1024;

std::string describeErrno(int error) {
    return std::generic_category().message(error);
}

std::filesystem::path homeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

// Creates `directory` and its missing parents (mode 0700, as the base-directory rules ask);
// the error number of the first step that fails, or 0.
int makeDirectories(const std::filesystem::path& directory) {
    std::filesystem::path partial;
    for (const auto& part : directory) {
        partial /= part;
        if (mkdir(partial.c_str(), 0700) == 0) continue;
        const int error = errno;
        if (error != EEXIST) return error;
        struct stat info {};
        if (stat(partial.c_str(), &info) != 0) return errno;
        if (!S_ISDIR(info.st_mode)) return ENOTDIR;
    }
    return 0;
}

// Writes all of `data`, or returns the error number.
int writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

}  // namespace

std::filesystem::path defaultAutostartDirectory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/') return std::filesystem::path(config) / "autostart";
    return homeDirectory() / ".config" / "autostart";
}

XdgAutostartLoginItem::XdgAutostartLoginItem(std::filesystem::path autostartDirectory,
                                             std::string executable)
    : directory_(std::move(autostartDirectory)),
      entryPath_(directory_ / (std::string(kApplicationId) + ".desktop")),
      executable_(std::move(executable)) {}

LoginItemStatus XdgAutostartLoginItem::status() const {
    const std::optional<std::string> contents = readOutsideFile(entryPath_, kEntrySizeLimit);
    if (!contents) return LoginItemStatus::notRegistered;
    return isAutostartEntryEnabled(*contents) ? LoginItemStatus::enabled
                                              : LoginItemStatus::notRegistered;
}

std::optional<std::string> XdgAutostartLoginItem::registerItem() {
    if (const int error = makeDirectories(directory_)) return describeErrno(error);

    std::string temporary = (directory_ / ("." + std::string(kApplicationId) + ".desktop-XXXXXX"));
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return describeErrno(errno);

    int error = writeAll(fd, makeAutostartEntry(executable_));
    if (error == 0 && fchmod(fd, 0644) != 0) error = errno;
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && rename(temporary.c_str(), entryPath_.c_str()) != 0) error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        return describeErrno(error);
    }
    return std::nullopt;
}

std::optional<std::string> XdgAutostartLoginItem::unregisterItem() {
    if (unlink(entryPath_.c_str()) != 0 && errno != ENOENT) return describeErrno(errno);
    return std::nullopt;
}

std::unique_ptr<XdgAutostartLoginItem> makePlatformLoginItem() {
    return std::make_unique<XdgAutostartLoginItem>(defaultAutostartDirectory(),
                                                   kInstalledExecutablePath);
}

}  // namespace pylonix::linux_platform
