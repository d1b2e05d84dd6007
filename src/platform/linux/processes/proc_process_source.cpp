#include "platform/linux/processes/proc_process_source.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>

#include "platform/linux/files/outside_file.h"
#include "platform/linux/processes/energy_access_message.h"
#include "platform/linux/processes/proc_stat.h"
#include "platform/linux/processes/process_identity_hints.h"

namespace pylonix::linux_platform {
namespace {

// A stat line is well under a page; 1 KiB covers the fields up to the start time even with the
// longest command name.
constexpr std::size_t kStatLimit = 1024;
constexpr std::size_t kCgroupLimit = 4096;
constexpr std::size_t kFlatpakInfoLimit = 64 * 1024;
// An environment or a command line is at most what exec accepts; both are scanned in pieces.
constexpr std::size_t kEnvironLimit = 64 * 1024 * 1024;
constexpr std::size_t kEnvironPiece = 16 * 1024;
constexpr std::size_t kCommandLineLimit = 1024 * 1024;
// The machine's stat file: the "cpu" line comes first, but the file is read whole, and the
// interrupt counts of a large machine run long.
constexpr std::size_t kMachineStatLimit = 4 * 1024 * 1024;

std::optional<std::int32_t> pidFromName(std::string_view name) {
    std::int32_t pid = 0;
    const auto [stop, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (name.empty() || error != std::errc() || stop != name.data() + name.size() || pid < 1) {
        return std::nullopt;
    }
    return pid;
}

std::vector<std::string> splitCommandLine(std::string_view text) {
    std::vector<std::string> arguments;
    while (!text.empty()) arguments.emplace_back(takePiece(text, '\0'));
    return arguments;
}

}  // namespace

ProcProcessSource::ProcProcessSource(std::filesystem::path procRoot,
                                     std::filesystem::path powercapRoot, uid_t uid,
                                     std::int32_t ownPid)
    : root_(std::move(procRoot)), uid_(uid), ownPid_(ownPid), rapl_(std::move(powercapRoot)) {
    rlimit limit{};
    constexpr std::size_t kMostKeptFiles = 4096;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        maxKeptFiles_ = std::min<std::size_t>(limit.rlim_cur / 4, kMostKeptFiles);
    }
}

void ProcProcessSource::forget(std::unordered_map<std::int32_t, Known>::iterator known) {
    if (known->second.statFile.isOpen()) --keptFiles_;
    known_.erase(known);
}

std::string ProcProcessSource::energyUnavailableMessage() const {
    return energyAccessMessage(rapl_.access());
}

std::uint64_t ProcProcessSource::uptimeNanoseconds() const {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
           static_cast<std::uint64_t>(now.tv_nsec);
}

void ProcProcessSource::readLasting(int procFd, const char* pidName, ProcessRecord& record) const {
    std::string path(pidName);
    const std::size_t base = path.size();
    path.append("/exe");
    char target[PATH_MAX];
    const ssize_t length = ::readlinkat(procFd, path.c_str(), target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
        record.executablePath =
            decodeExecutablePath(std::string_view(target, static_cast<std::size_t>(length)));
    }

    path.resize(base);
    path.append("/cgroup");
    if (const auto cgroup = readOutsideFileAt(procFd, path.c_str(), kCgroupLimit)) {
        record.identity.systemdUnit = systemdUnitFromCgroup(*cgroup);
        record.identity.flatpakId = flatpakIdFromUnit(record.identity.systemdUnit);
    }
    if (record.identity.flatpakId.empty()) {
        // A sandboxed process started without its scope still has the sandbox's own record.
        path.resize(base);
        path.append("/root/.flatpak-info");
        if (const auto info = readOutsideFileAt(procFd, path.c_str(), kFlatpakInfoLimit)) {
            record.identity.flatpakId = flatpakIdFromInfo(*info);
        }
    }

    path.resize(base);
    path.append("/environ");
    LauncherEnvironmentScanner scanner;
    readOutsideFileInPiecesAt(procFd, path.c_str(), kEnvironLimit, kEnvironPiece,
                              [&scanner](std::string_view piece) { return scanner.feed(piece); });
    const LauncherVariables& launcher = scanner.variables();
    record.identity.launcherDesktopFile = launcher.desktopFileFor(record.pid).value_or("");
    record.identity.appImage = launcher.appImage.value_or("");

    if (commandLineRule_ && record.executablePath && commandLineRule_(*record.executablePath)) {
        path.resize(base);
        path.append("/cmdline");
        if (const auto text = readOutsideFileAt(procFd, path.c_str(), kCommandLineLimit)) {
            record.identity.commandLine = splitCommandLine(*text);
        }
    }
}

ProcessSource::Pass ProcProcessSource::readPass() {
    const int procFd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd < 0) {
        return errno == EACCES || errno == EPERM ? ProcessListFailure::notPermitted
                                                 : ProcessListFailure::unreadable;
    }
    DIR* directory = ::fdopendir(procFd);
    if (directory == nullptr) {
        ::close(procFd);
        return ProcessListFailure::unreadable;
    }
    ++pass_;

    struct Seen {
        ProcessStat stat;
        const Known* known;
    };
    std::vector<Seen> seen;
    seen.reserve(known_.size() + 64);
    std::string path;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view name(entry->d_name);
        const auto pid = pidFromName(name);
        if (!pid) continue;
        path.assign(name).append("/stat");
        std::optional<ProcessStat> stat;
        if (const auto found = known_.find(*pid); found != known_.end()) {
            Known& known = found->second;
            const auto text = known.statFile.isOpen()
                                  ? known.statFile.read(kStatLimit)
                                  : rereadOutsideFileAt(procFd, path.c_str(), kStatLimit);
            stat = text ? parseProcessStat(*text) : std::nullopt;
            if (stat && stat->startTime == known.lasting.startTime && stat->name == known.name) {
                known.pass = pass_;
                seen.push_back({std::move(*stat), &known});
                continue;
            }
            // Another process under the id, this one after an exec, or one that ended (a kept
            // file then reads nothing): looked at afresh.
            forget(found);
        }
        // First sight: the owner, then everything that lasts.
        struct stat status {};
        if (::fstatat(procFd, entry->d_name, &status, 0) != 0 || status.st_uid != uid_) continue;
        KeptOutsideFile statFile;
        if (keptFiles_ < maxKeptFiles_) statFile = KeptOutsideFile::open(procFd, path.c_str());
        if (!stat) {
            const auto text = statFile.isOpen()
                                  ? statFile.read(kStatLimit)
                                  : readOutsideFileAt(procFd, path.c_str(), kStatLimit);
            stat = text ? parseProcessStat(*text) : std::nullopt;
            if (!stat) continue;
        }
        if (statFile.isOpen()) ++keptFiles_;
        Known known{stat->name, pass_, {}, std::move(statFile)};
        known.lasting.pid = *pid;
        known.lasting.startTime = stat->startTime;
        readLasting(procFd, entry->d_name, known.lasting);
        const auto [inserted, isNew] = known_.insert_or_assign(*pid, std::move(known));
        seen.push_back({std::move(*stat), &inserted->second});
    }
    ::closedir(directory);

    const auto machineStat = readOutsideFile(root_ / "stat", kMachineStatLimit);
    const auto totalCpu = machineStat ? parseTotalCpuTicks(*machineStat) : std::nullopt;
    const auto energy = rapl_.readNanojoules();
    energyReadable_ = energy.has_value();
    if (totalCpu) ledger_.beginPoll(*totalCpu, energy);
    ProcessPass result;
    result.processes.reserve(seen.size());
    for (const Seen& process : seen) {
        const ProcessStat& stat = process.stat;
        const std::uint64_t energyNanojoules =
            totalCpu ? ledger_.record(stat.pid, stat.startTime, stat.cpuTicks)
                     : ledger_.counter(stat.pid, stat.startTime).value_or(0);
        ProcessRecord& record = result.processes.emplace_back(process.known->lasting);
        record.parentPID = stat.parentPID;
        record.energyNanojoules = energyNanojoules;
        if (stat.pid == ownPid_) result.ownEnergyNanojoules = energyNanojoules;
    }
    if (totalCpu) ledger_.endPoll();
    for (auto known = known_.begin(); known != known_.end();) {
        if (known->second.pass == pass_) {
            ++known;
        } else {
            forget(known++);
        }
    }
    return result;
}

}  // namespace pylonix::linux_platform
