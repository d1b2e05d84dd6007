#include "app/command_line.h"

#include <algorithm>
#include <cstdio>

#include "common/application_info.h"

namespace pylonix {

EarlyAction earlyAction(const std::vector<std::string_view>& arguments) {
    for (const std::string_view argument : arguments) {
        if (argument == "--") break;
        if (argument == "--version") return EarlyAction::printVersion;
        if (argument == "--help" || argument == "-h") return EarlyAction::printHelp;
    }
    return EarlyAction::run;
}

std::optional<int> handleEarlyAction(int argc, char* argv[]) {
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    switch (earlyAction(arguments)) {
        case EarlyAction::run:
            return std::nullopt;
        case EarlyAction::printVersion:
            std::fputs(versionText().c_str(), stdout);
            return 0;
        case EarlyAction::printHelp:
            std::fputs(helpText().c_str(), stdout);
            return 0;
    }
    return std::nullopt;
}

std::string versionText() {
    return std::string("pylonix ") + kApplicationVersion + "\n";
}

std::string helpText() {
    return std::string(
               "Usage: pylonix [--terminal [--count N]] [--version] [--help]\n"
               "\n"
               "Shows how many watts the whole laptop draws, in the tray and in a panel. A second\n"
               "start opens the running instance's panel and exits.\n"
               "\n"
               "Options:\n"
               "  --terminal       show the panel's content as text in the terminal\n"
               "  --count N        with --terminal: stop after N refreshes\n"
               "  --version        print the version and exit\n"
               "  --help, -h       print this help and exit\n"
               "\n"
               "Environment:\n"
               "  PYLONIX_POWER_SUPPLY_ROOT  read the batteries from this tree instead of\n"
               "                             /sys/class/power_supply (a recorded one)\n"
               "  PYLONIX_PROC_ROOT          read processes from this tree instead of /proc\n"
               "  PYLONIX_POWERCAP_ROOT      read processor energy from this tree instead of\n"
               "                             /sys/class/powercap\n"
               "  PYLONIX_TRAY_LABELS        1 or 0: whether the tray shows text labels, for a\n"
               "                             tray whose detection is wrong\n"
               "  NO_COLOR                   with --terminal: no colours\n"
               "  XDG_CONFIG_HOME            settings and the autostart entry live under it\n"
               "                             (default ~/.config)\n"
               "  XDG_CURRENT_DESKTOP        picks the desktop's startup-applications tool\n"
               "\n"
               "The running instance owns the session-bus name ") +
           kApplicationId + ".\nProcessor energy per application needs membership of the group " +
           kEnergyGroup + ".\n";
}

}  // namespace pylonix
