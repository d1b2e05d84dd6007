#include "platform/linux/processes/energy_ledger.h"

#include <algorithm>
#include <cmath>

namespace pylonix::linux_platform {

void EnergyLedger::beginPoll(std::uint64_t totalCpuTicks,
                             std::optional<std::uint64_t> energyNanojoules) {
    ++poll_;
    totalCpuTicks_ = totalCpuTicks;
    energyNanojoules_ = energyNanojoules;
}

std::uint64_t EnergyLedger::record(std::int32_t pid, std::uint64_t startTime,
                                   std::uint64_t cpuTicks) {
    auto [found, isNew] = entries_.try_emplace(pid);
    Entry& entry = found->second;
    if (isNew || entry.startTime != startTime) {
        // First sight of this process (or of a new one reusing the id): it starts at 0.
        entry = Entry{startTime, cpuTicks, totalCpuTicks_, energyNanojoules_, 0, poll_};
        return 0;
    }
    if (entry.energyNanojoules && energyNanojoules_ &&
        *energyNanojoules_ > *entry.energyNanojoules && totalCpuTicks_ > entry.totalCpuTicks &&
        cpuTicks > entry.cpuTicks) {
        const double energy = static_cast<double>(*energyNanojoules_ - *entry.energyNanojoules);
        const double share =
            std::fmin(1.0, static_cast<double>(cpuTicks - entry.cpuTicks) /
                               static_cast<double>(totalCpuTicks_ - entry.totalCpuTicks));
        const double added = std::floor(energy * share);
        const auto increment = static_cast<std::uint64_t>(added);
        if (increment <= UINT64_MAX - entry.counterNanojoules) entry.counterNanojoules += increment;
    }
    // Elapsed CPU time of zero or less (a suspend, a stalled clock) attributes nothing; the
    // baseline moves on either way so that nothing is counted twice.
    entry.cpuTicks = std::max(entry.cpuTicks, cpuTicks);
    entry.totalCpuTicks = std::max(entry.totalCpuTicks, totalCpuTicks_);
    entry.energyNanojoules = energyNanojoules_;
    entry.poll = poll_;
    return entry.counterNanojoules;
}

std::optional<std::uint64_t> EnergyLedger::counter(std::int32_t pid,
                                                   std::uint64_t startTime) const {
    const auto found = entries_.find(pid);
    if (found == entries_.end() || found->second.startTime != startTime) return std::nullopt;
    return found->second.counterNanojoules;
}

void EnergyLedger::endPoll() {
    std::erase_if(entries_, [this](const auto& item) { return item.second.poll != poll_; });
}

}  // namespace pylonix::linux_platform
