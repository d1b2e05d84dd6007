#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

namespace pylonix::linux_platform {

// Per-process CPU energy counters made from the processor's energy and CPU times, since Linux
// keeps no such counter itself. At each poll the energy used since a process's previous poll
// is split by CPU time: the process gets ΔE × Δcpu(process) / Δcpu(all CPUs, idle included).
// The idle share goes to no process. Counters are keyed by process id and start time, start at
// 0 when a process is first seen, never go backwards, and are forgotten when a poll no longer
// sees the process. Without a readable energy total nothing grows.
class EnergyLedger {
  public:
    // Starts a poll with the machine's CPU time in ticks (/proc/stat) and the processor's
    // cumulative energy, absent when it cannot be read.
    void beginPoll(std::uint64_t totalCpuTicks, std::optional<std::uint64_t> energyNanojoules);

    // Records one process seen in this poll with its CPU time in ticks, and returns its counter.
    std::uint64_t record(std::int32_t pid, std::uint64_t startTime, std::uint64_t cpuTicks);

    // The counter of a process as of its last record, when the ledger knows it.
    std::optional<std::uint64_t> counter(std::int32_t pid, std::uint64_t startTime) const;

    // Forgets every process not recorded since `beginPoll`.
    void endPoll();

    std::size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        std::uint64_t startTime = 0;
        std::uint64_t cpuTicks = 0;
        std::uint64_t totalCpuTicks = 0;  // the machine's at this entry's last record
        std::optional<std::uint64_t> energyNanojoules;
        std::uint64_t counterNanojoules = 0;
        std::uint64_t poll = 0;
    };

    std::unordered_map<std::int32_t, Entry> entries_;
    std::uint64_t poll_ = 0;
    std::uint64_t totalCpuTicks_ = 0;
    std::optional<std::uint64_t> energyNanojoules_;
};

}  // namespace pylonix::linux_platform
