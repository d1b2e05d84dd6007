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
#include "platform/linux/applications/desktop_entry.h"
#include "platform/linux/applications/program_path_chain.h"
#include "platform/linux/files/outside_file.h"
#include "platform/linux/login_item/autostart_entry.h"

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
      executable_(std::move(executable)),
      searchPath_(splitPathList(std::getenv("PATH"))) {}

XdgAutostartLoginItem::Entry XdgAutostartLoginItem::readEntry() const {
    const OutsideFileResult read = readOutsideFileChecked(entryPath_, kEntrySizeLimit);
    if (!read.content) {
        std::error_code error;
        const bool exists =
            std::filesystem::exists(std::filesystem::symlink_status(entryPath_, error));
        return {exists ? LoginItemStatus::notFound : LoginItemStatus::notRegistered, {}};
    }
    const std::optional<AutostartEntry> entry = parseAutostartEntry(*read.content);
    if (!entry) return {LoginItemStatus::notFound, std::move(*read.content)};
    LoginItemStatus status = LoginItemStatus::enabled;
    if (entry->switchedOff) {
        status = LoginItemStatus::notRegistered;
    } else if (!startsAProgram(*entry)) {
        status = LoginItemStatus::notFound;
    }
    return {status, std::move(*read.content)};
}

bool XdgAutostartLoginItem::startsAProgram(const AutostartEntry& entry) const {
    // The launcher skips an entry whose TryExec program is missing, and cannot start a missing
    // Exec program.
    const auto runnable = [this](const std::string& program) {
        return !programPathChain(program, searchPath_, "/").empty();
    };
    return runnable(entry.exec.front()) && (!entry.tryExec || runnable(*entry.tryExec));
}

LoginItemStatus XdgAutostartLoginItem::status() const {
    return readEntry().status;
}

std::optional<std::string> XdgAutostartLoginItem::registerItem() {
    if (const int error = makeDirectories(directory_)) return describeErrno(error);
    const Entry existing = readEntry();
    if (existing.status == LoginItemStatus::enabled) return std::nullopt;
    // The user's own entry, switched off, is kept as they wrote it; one that would not start
    // anything (a program gone, garbage) is replaced.
    if (existing.status == LoginItemStatus::notRegistered && !existing.contents.empty()) {
        const std::string switchedOn = switchOnAutostartEntry(existing.contents);
        if (const auto entry = parseAutostartEntry(switchedOn);
            entry && !entry->switchedOff && startsAProgram(*entry)) {
            return writeEntry(switchedOn);
        }
    }
    return writeEntry(makeAutostartEntry(executable_));
}

std::optional<std::string> XdgAutostartLoginItem::unregisterItem() {
    const Entry existing = readEntry();
    // Nothing to switch off: no entry, one already off, or one that would start nothing.
    if (existing.status != LoginItemStatus::enabled) return std::nullopt;
    return writeEntry(switchOffAutostartEntry(existing.contents));
}

std::optional<std::string> XdgAutostartLoginItem::writeEntry(const std::string& contents) const {
    std::string temporary = (directory_ / ("." + std::string(kApplicationId) + ".desktop-XXXXXX"));
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return describeErrno(errno);

    int error = writeAll(fd, contents);
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

std::string runningExecutable() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    // The kernel marks a program replaced or removed since it started; the installed path is
    // then the best guess of what the next login should start.
    if (error || self.empty() || self.string().ends_with(" (deleted)")) {
        return kInstalledExecutablePath;
    }
    return self.string();
}

std::unique_ptr<XdgAutostartLoginItem> makePlatformLoginItem() {
    return std::make_unique<XdgAutostartLoginItem>(defaultAutostartDirectory(),
                                                   runningExecutable());
}

}  // namespace pylonix::linux_platform
