#pragma once

#include <cstdint>
#include <string>

#include "common/platform_texts.h"

namespace pylonix {

// The process-information operations the energy sampler relies on, shaped like the platform
// calls they stand for so that the sampler runs unchanged on any platform and on recorded
// tables. Each operation reports success the way its platform call does; none throws.

// The parent-process part of the BSD process record. `kProcBsdInfoSize` is the size of the whole
// record: a call that returns exactly that size filled it.
struct ProcBsdInfo {
    std::uint32_t pbi_ppid = 0;
};
inline constexpr int kProcBsdInfoSize = 136;

// The part of the version-6 resource-usage record the sampler reads.
struct RusageInfoV6 {
    std::uint64_t ri_proc_start_abstime = 0;  // start time, absolute-time ticks
    std::uint64_t ri_energy_nj = 0;           // cumulative CPU energy, nanojoules
};

inline constexpr int kProcPidPathBufferSize = 4096;

class ProcessTable {
public:
    virtual ~ProcessTable() = default;

    virtual std::uint32_t getuid() const = 0;
    virtual std::int32_t getpid() const = 0;

    // The process ids of user `uid`. With no buffer (null, 0): the number of bytes the list needs.
    // With one: the number of bytes filled, never more than `bufferSizeBytes`. 0 or less is a
    // failure.
    virtual int listPidsByUser(std::uint32_t uid, std::int32_t* buffer,
                               int bufferSizeBytes) const = 0;

    // Fills `info` (zeroed by the caller) and returns how many bytes of the record it filled:
    // `kProcBsdInfoSize` when complete, less (0 or negative included) otherwise.
    virtual int pidBsdInfo(std::int32_t pid, ProcBsdInfo& info) const = 0;

    // Writes the executable path of `pid` into `buffer` (zeroed by the caller, `size` bytes),
    // ended by a zero byte. More than 0 on success.
    virtual int pidPath(std::int32_t pid, char* buffer, std::uint32_t size) const = 0;

    // Fills `info` (zeroed by the caller). 0 on success.
    virtual int pidRusage(std::int32_t pid, RusageInfoV6& info) const = 0;

    // Monotonic uptime in nanoseconds; does not advance while the machine sleeps.
    virtual std::uint64_t uptimeNanoseconds() const = 0;

    // The sentence for a pass in which no process's energy could be read: why, where the
    // platform can tell (a counter closed to this user, say, and the remedy).
    virtual std::string energyUnavailableMessage() const {
        return platform_texts::kNoApplicationEnergyData;
    }
};

}  // namespace pylonix
