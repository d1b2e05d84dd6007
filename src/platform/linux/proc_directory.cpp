#include "platform/linux/proc_directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <algorithm>
#include <climits>

namespace pylonix::linux_platform {
namespace {

// A stat line is well under a page; 1 KiB covers the fields up to the start time even with the
// longest command name.
constexpr std::size_t kStatLimit = 1024;

std::optional<std::int32_t> pidFromName(std::string_view name) {
    std::int32_t pid = 0;
    const auto [stop, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (name.empty() || error != std::errc() || stop != name.data() + name.size() || pid < 1) {
        return std::nullopt;
    }
    return pid;
}

}  // namespace

ProcDirectory::ProcDirectory(std::filesystem::path root)
    : root_(std::move(root)), rootFd_(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

ProcDirectory::~ProcDirectory() {
    if (rootFd_ >= 0) ::close(rootFd_);
}

std::optional<std::string> ProcDirectory::readAt(const std::string& relativePath,
                                                 std::size_t limit) const {
    if (rootFd_ < 0) return std::nullopt;
    const int fd = ::openat(rootFd_, relativePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    // Grown in steps, so that a large limit (an environment) costs only what the file holds.
    constexpr std::size_t kStep = 4096;
    std::string content;
    std::size_t filled = 0;
    bool failed = false;
    while (filled < limit) {
        const std::size_t want = std::min(kStep, limit - filled);
        content.resize(filled + want);
        const ssize_t count = ::read(fd, content.data() + filled, want);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            failed = count < 0;
            break;
        }
        filled += static_cast<std::size_t>(count);
        // procfs hands over as much as was asked for while there is more; a short read is the
        // end, and stopping there saves the call that would only return 0.
        if (static_cast<std::size_t>(count) < want) break;
    }
    ::close(fd);
    if (failed) return std::nullopt;
    content.resize(filled);
    return content;
}

std::optional<std::vector<ProcProcess>> ProcDirectory::userProcesses(uid_t uid) const {
    if (rootFd_ < 0) return std::nullopt;
    // A second descriptor for the listing: closedir closes the one it is given.
    const int listFd = ::openat(rootFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return std::nullopt;
    DIR* directory = ::fdopendir(listFd);
    if (directory == nullptr) {
        ::close(listFd);
        return std::nullopt;
    }
    std::vector<ProcProcess> processes;
    std::string path;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view name(entry->d_name);
        if (!pidFromName(name)) continue;
        struct stat status {};
        if (::fstatat(rootFd_, entry->d_name, &status, 0) != 0 || status.st_uid != uid) continue;
        path.assign(name).append("/stat");
        const auto text = readAt(path, kStatLimit);
        const auto stat = text ? parseProcessStat(*text) : std::nullopt;
        if (!stat) continue;  // ended meanwhile
        ProcProcess process{*stat, std::nullopt};
        path.assign(name).append("/exe");
        char target[PATH_MAX];
        const ssize_t length = ::readlinkat(rootFd_, path.c_str(), target, sizeof target);
        if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
            process.executablePath.emplace(target, static_cast<std::size_t>(length));
        }
        processes.push_back(std::move(process));
    }
    ::closedir(directory);
    return processes;
}

std::optional<std::uint64_t> ProcDirectory::totalCpuTicks() const {
    // The "cpu" line comes first; 4 KiB holds it on any machine.
    const auto text = readAt("stat", 4096);
    return text ? parseTotalCpuTicks(*text) : std::nullopt;
}

std::optional<ProcessStat> ProcDirectory::processStat(std::int32_t pid) const {
    const auto text = readAt(std::to_string(pid) + "/stat", kStatLimit);
    return text ? parseProcessStat(*text) : std::nullopt;
}

std::optional<std::string> ProcDirectory::processFile(std::int32_t pid, const char* name,
                                                      std::size_t limit) const {
    return readAt(std::to_string(pid) + "/" + name, limit);
}

}  // namespace pylonix::linux_platform
