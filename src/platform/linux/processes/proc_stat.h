#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pylonix::linux_platform {

// The fields of /proc/<pid>/stat that sampling uses. Times are in clock ticks (USER_HZ), the
// unit of /proc/stat too.
struct ProcessStat {
    std::int32_t pid = 0;
    std::string name;  // the command name (at most 15 bytes); changes when the process execs
    std::int32_t parentPID = 0;
    std::uint64_t cpuTicks = 0;   // utime + stime
    std::uint64_t startTime = 0;  // ticks after boot at which the process started

    bool operator==(const ProcessStat&) const = default;
};

// Parses one /proc/<pid>/stat line. The command name sits in parentheses and may itself hold
// spaces and parentheses, so the fields are counted from the last ')'. Nothing for a line that
// is cut short or whose numbers are not numbers.
std::optional<ProcessStat> parseProcessStat(std::string_view text);

// The machine's whole CPU time in ticks from /proc/stat's "cpu" line: every state, idle
// included (guest time is already part of user time and is not added again). Nothing when the
// line is missing or malformed.
std::optional<std::uint64_t> parseTotalCpuTicks(std::string_view text);

}  // namespace pylonix::linux_platform
