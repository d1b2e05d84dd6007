// Arbitrary bytes as a /proc/<pid>/stat line, a /proc/stat file, a cgroup file and an
// environment read in pieces.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/applications/application_unit.h"
#include "platform/linux/processes/proc_stat.h"
#include "platform/linux/processes/process_identity_hints.h"

namespace {

pylonix::linux_platform::LauncherVariables scanInPieces(std::string_view environ,
                                                        std::size_t piece) {
    pylonix::linux_platform::LauncherEnvironmentScanner scanner;
    while (!environ.empty() && scanner.feed(environ.substr(0, piece))) {
        environ.remove_prefix(std::min(piece, environ.size()));
    }
    return scanner.variables();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix::linux_platform;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (const auto stat = parseProcessStat(input)) {
        if (stat->pid < 1 || stat->parentPID < 0) __builtin_trap();
    }
    (void)parseTotalCpuTicks(input);
    const std::string unit = systemdUnitFromCgroup(input);
    for (const auto& id : applicationUnitDesktopIds(unit)) {
        if (id.empty()) __builtin_trap();
    }
    (void)flatpakIdFromUnit(unit);
    // However the environment is cut into pieces, the same variables are found.
    const LauncherVariables whole = scanInPieces(input, input.size() + 1);
    if (scanInPieces(input, 1) != whole || scanInPieces(input, 7) != whole) __builtin_trap();
    (void)whole.desktopFileFor(42);
    return 0;
}
