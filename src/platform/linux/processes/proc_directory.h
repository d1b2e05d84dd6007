#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/processes/proc_stat.h"

namespace pylonix::linux_platform {

// One process of the user as /proc showed it in one pass.
struct ProcProcess {
    ProcessStat stat;
    std::optional<std::string> executablePath;  // absent when /proc/<pid>/exe cannot be read
};

// The process directories of /proc (or of a fixture tree laid out like it), read with as few
// system calls as the work allows: one directory listing, then per process one status call
// for its owner, and for the user's own processes one open, read and close of its stat file
// and one read of its exe link. A process that ends midway is skipped. Holds nothing but its
// root, so it can be copied and used from any thread.
class ProcDirectory {
public:
    explicit ProcDirectory(std::filesystem::path root = "/proc");

    const std::filesystem::path& root() const { return root_; }

    // The processes owned by `uid`, in directory order. Nothing when /proc cannot be listed.
    std::optional<std::vector<ProcProcess>> userProcesses(uid_t uid) const;

    // The machine's whole CPU time in ticks, from the stat file at the root.
    std::optional<std::uint64_t> totalCpuTicks() const;

    // One process's stat, owner not checked; nothing when it is gone.
    std::optional<ProcessStat> processStat(std::int32_t pid) const;

    // A small file of one process ("cgroup", "environ"), up to `limit` bytes.
    std::optional<std::string> processFile(std::int32_t pid, const char* name,
                                           std::size_t limit) const;

private:
    std::filesystem::path root_;
};

}  // namespace pylonix::linux_platform
