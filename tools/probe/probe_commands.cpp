#include "probe_commands.h"

#include <array>

namespace pylonix::probe {

std::span<const ProbeCommand> probeCommands() {
    static constexpr std::array kCommands = {
        ProbeCommand{"snapshot", "[FILE] [--timestamp SECONDS]", runSnapshot},
        ProbeCommand{"battery", "[--sysfs ROOT]", runBattery},
        ProbeCommand{"bundle-path", "PATH...", runBundlePath},
        ProbeCommand{"attribute", "[FILE]", runAttribute},
        ProbeCommand{"replay", "[FILE]", runReplay},
        ProbeCommand{
            "apps",
            "[--passes N] [--settle SECONDS] [--proc ROOT] [--powercap ROOT] [--sysfs ROOT]",
            runApps},
        ProbeCommand{"login-item", "[status|register|unregister] [--executable PATH]",
                     runLoginItem},
#ifdef PYLONIX_PROBE_HAS_QT
        ProbeCommand{"update-check", "--feed URL [--timeout SECONDS] [--version VERSION]",
                     runUpdateCheck},
        ProbeCommand{"watch", "[--interval SECONDS] [--count N] [--sysfs ROOT]", runWatch},
#endif
        ProbeCommand{"view", "[FILE] [--locale NAME] [--time-zone ID]", runView},
    };
    return kCommands;
}

}  // namespace pylonix::probe
