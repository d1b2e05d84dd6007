// Arbitrary bytes as a /proc/<pid>/stat line, a /proc/stat file and a cgroup file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/applications/desktop_applications.h"
#include "platform/linux/processes/proc_stat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix::linux_platform;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (const auto stat = parseProcessStat(input)) {
        if (stat->pid < 1 || stat->parentPID < 0) __builtin_trap();
    }
    (void)parseTotalCpuTicks(input);
    for (const auto& id : desktopIdsFromCgroup(input)) {
        if (id.empty()) __builtin_trap();
    }
    (void)launchedDesktopFile(input, 42);
    return 0;
}
