#include "platform/linux/processes/proc_process_table.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/linux/processes/energy_access_message.h"

namespace pylonix::linux_platform {

ProcProcessTable::ProcProcessTable(std::filesystem::path procRoot,
                                   std::filesystem::path powercapRoot)
    : proc_(std::move(procRoot)), rapl_(std::move(powercapRoot)) {
    // The ledger's counters start at 0 when it first sees a process; a first poll now means
    // that the first pass already measures the energy used since the table was made.
    const std::lock_guard lock(mutex_);
    startPass(::getuid());
}

std::uint32_t ProcProcessTable::getuid() const { return ::getuid(); }

std::int32_t ProcProcessTable::getpid() const { return ::getpid(); }

std::uint64_t ProcProcessTable::uptimeNanoseconds() const {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
           static_cast<std::uint64_t>(now.tv_nsec);
}

bool ProcProcessTable::energyReadable() const {
    const std::lock_guard lock(mutex_);
    return energyAccess_ == RaplEnergyMeter::Access::readable;
}

std::string ProcProcessTable::energyUnavailableMessage() const {
    const std::lock_guard lock(mutex_);
    return energyAccessMessage(energyAccess_);
}

bool ProcProcessTable::startPass(std::uint32_t uid) const {
    auto processes = proc_.userProcesses(static_cast<uid_t>(uid));
    if (!processes) return false;
    const auto totalCpu = proc_.totalCpuTicks();
    const auto energy = rapl_.readNanojoules();
    energyAccess_ = rapl_.access();
    if (totalCpu) ledger_.beginPoll(*totalCpu, energy);
    pass_.clear();
    passOrder_.clear();
    passOrder_.reserve(processes->size());
    for (ProcProcess& process : *processes) {
        const ProcessStat& stat = process.stat;
        const std::uint64_t energyNanojoules =
            totalCpu ? ledger_.record(stat.pid, stat.startTime, stat.cpuTicks)
                     : ledger_.counter(stat.pid, stat.startTime).value_or(0);
        passOrder_.push_back(stat.pid);
        pass_.insert_or_assign(stat.pid, PassProcess{std::move(process), energyNanojoules});
    }
    if (totalCpu) ledger_.endPoll();
    return true;
}

const ProcProcessTable::PassProcess* ProcProcessTable::find(std::int32_t pid) const {
    const auto found = pass_.find(pid);
    return found == pass_.end() ? nullptr : &found->second;
}

int ProcProcessTable::listPidsByUser(std::uint32_t uid, std::int32_t* buffer,
                                     int bufferSizeBytes) const {
    const std::lock_guard lock(mutex_);
    const bool sizeQuery = buffer == nullptr;
    if (sizeQuery || listHandedOut_) {
        if (!startPass(uid)) return 0;
    }
    listHandedOut_ = !sizeQuery;
    const std::size_t neededBytes = passOrder_.size() * sizeof(std::int32_t);
    if (sizeQuery) return static_cast<int>(std::min<std::size_t>(neededBytes, INT32_MAX));
    if (bufferSizeBytes <= 0) return 0;
    const std::size_t count =
        std::min(passOrder_.size(), static_cast<std::size_t>(bufferSizeBytes) / sizeof(std::int32_t));
    std::copy_n(passOrder_.begin(), count, buffer);
    return static_cast<int>(count * sizeof(std::int32_t));
}

int ProcProcessTable::pidBsdInfo(std::int32_t pid, ProcBsdInfo& info) const {
    const std::lock_guard lock(mutex_);
    std::optional<ProcessStat> stat;
    if (const PassProcess* process = find(pid)) {
        stat = process->process.stat;
    } else {
        stat = proc_.processStat(pid);
    }
    if (!stat) return 0;
    info.pbi_ppid = static_cast<std::uint32_t>(stat->parentPID);
    return kProcBsdInfoSize;
}

int ProcProcessTable::pidPath(std::int32_t pid, char* buffer, std::uint32_t size) const {
    const std::lock_guard lock(mutex_);
    const PassProcess* process = find(pid);
    if (process == nullptr || !process->process.executablePath || size == 0) return 0;
    const std::string& path = *process->process.executablePath;
    const std::size_t length = std::min<std::size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

int ProcProcessTable::pidRusage(std::int32_t pid, RusageInfoV6& info) const {
    const std::lock_guard lock(mutex_);
    if (const PassProcess* process = find(pid)) {
        info.ri_proc_start_abstime = process->process.stat.startTime;
        info.ri_energy_nj = process->energyNanojoules;
        return 0;
    }
    const auto stat = proc_.processStat(pid);
    if (!stat) return -1;
    info.ri_proc_start_abstime = stat->startTime;
    info.ri_energy_nj = ledger_.counter(pid, stat->startTime).value_or(0);
    return 0;
}

}  // namespace pylonix::linux_platform
