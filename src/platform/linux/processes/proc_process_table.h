#pragma once

#include <filesystem>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "apppower/process_table.h"
#include "platform/linux/processes/energy_ledger.h"
#include "platform/linux/processes/proc_directory.h"
#include "platform/linux/processes/rapl_energy_meter.h"

namespace pylonix::linux_platform {

// The process table on Linux. The size query of the process list (`listPidsByUser` without a
// buffer) starts a pass: it reads the user's processes from /proc once (owner, stat, exe link),
// polls the energy ledger with RAPL and /proc/stat, and keeps what it read; the list itself and
// the per-process operations then answer from that pass without touching /proc again. A
// process that is not in the pass (it started since, or is this program asking about itself
// before any pass) is read on its own. The table polls once when it is made, so that counters
// grow from then on rather than from the first pass. Energy counters are the ledger's, so they are 0 where
// RAPL cannot be read. Operations are serialized internally; the sampler calls them from its
// one worker thread.
class ProcProcessTable final : public ProcessTable {
public:
    explicit ProcProcessTable(std::filesystem::path procRoot = "/proc",
                              std::filesystem::path powercapRoot = "/sys/class/powercap");

    std::uint32_t getuid() const override;
    std::int32_t getpid() const override;
    int listPidsByUser(std::uint32_t uid, std::int32_t* buffer, int bufferSizeBytes) const override;
    int pidBsdInfo(std::int32_t pid, ProcBsdInfo& info) const override;
    int pidPath(std::int32_t pid, char* buffer, std::uint32_t size) const override;
    int pidRusage(std::int32_t pid, RusageInfoV6& info) const override;
    std::uint64_t uptimeNanoseconds() const override;

    // Whether the last pass could read the processor's energy.
    bool energyReadable() const;
    // Why it could not: no counter, or one closed to this user and how to be let in.
    std::string energyUnavailableMessage() const override;

private:
    struct PassProcess {
        ProcProcess process;
        std::uint64_t energyNanojoules = 0;
    };

    // Reads the user's processes and polls the ledger; false when /proc cannot be listed.
    bool startPass(std::uint32_t uid) const;
    const PassProcess* find(std::int32_t pid) const;

    ProcDirectory proc_;
    mutable std::mutex mutex_;
    mutable RaplEnergyMeter rapl_;
    mutable EnergyLedger ledger_;
    mutable std::vector<std::int32_t> passOrder_;
    mutable std::unordered_map<std::int32_t, PassProcess> pass_;
    mutable bool listHandedOut_ = true;  // the pass's list went out; the next list starts anew
    mutable RaplEnergyMeter::Access energyAccess_ = RaplEnergyMeter::Access::noCounter;
};

}  // namespace pylonix::linux_platform
