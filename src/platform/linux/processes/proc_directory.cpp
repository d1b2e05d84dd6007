#include "platform/linux/processes/proc_directory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <climits>

#include "platform/linux/files/outside_file.h"

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

ProcDirectory::ProcDirectory(std::filesystem::path root) : root_(std::move(root)) {}

std::optional<std::vector<ProcProcess>> ProcDirectory::userProcesses(uid_t uid) const {
    DIR* directory = ::opendir(root_.c_str());
    if (directory == nullptr) return std::nullopt;
    // Names relative to the open /proc directory spare the kernel the walk from the root.
    const int rootFd = ::dirfd(directory);
    std::vector<ProcProcess> processes;
    std::string path;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view name(entry->d_name);
        if (!pidFromName(name)) continue;
        struct stat status {};
        if (::fstatat(rootFd, entry->d_name, &status, 0) != 0 || status.st_uid != uid) continue;
        path.assign(name).append("/stat");
        const auto text = readOutsideFileAt(rootFd, path.c_str(), kStatLimit);
        const auto stat = text ? parseProcessStat(*text) : std::nullopt;
        if (!stat) continue;  // ended meanwhile
        ProcProcess process{*stat, std::nullopt};
        path.assign(name).append("/exe");
        char target[PATH_MAX];
        const ssize_t length = ::readlinkat(rootFd, path.c_str(), target, sizeof target);
        if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
            process.executablePath.emplace(target, static_cast<std::size_t>(length));
        }
        processes.push_back(std::move(process));
    }
    ::closedir(directory);
    return processes;
}

std::optional<std::uint64_t> ProcDirectory::totalCpuTicks() const {
    // The "cpu" line comes first, but the file is read whole: the reader refuses a file over
    // its cap rather than cut it, and the interrupt counts of a large machine run long.
    constexpr std::size_t kMachineStatCap = 4 * 1024 * 1024;
    const auto text = readOutsideFile(root_ / "stat", kMachineStatCap);
    return text ? parseTotalCpuTicks(*text) : std::nullopt;
}

std::optional<ProcessStat> ProcDirectory::processStat(std::int32_t pid) const {
    const auto text = readOutsideFile(root_ / std::to_string(pid) / "stat", kStatLimit);
    return text ? parseProcessStat(*text) : std::nullopt;
}

std::optional<std::string> ProcDirectory::processFile(std::int32_t pid, const char* name,
                                                      std::size_t limit) const {
    return readOutsideFile(root_ / std::to_string(pid) / name, limit);
}

}  // namespace pylonix::linux_platform
