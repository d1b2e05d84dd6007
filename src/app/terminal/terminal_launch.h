#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/pylonix_app.h"

namespace pylonix {

// How `pylonix` starts: the tray on a desktop, or the live view in the terminal (asked for
// with --terminal, or because there is no display), or not at all.
struct LaunchChoice {
    enum class Kind { desktop, terminal, refused };

    Kind kind = Kind::desktop;
    std::optional<long long> count;  // refreshes before the terminal view ends
    // One line for standard error: why there is no tray, or what is wrong with the arguments.
    std::optional<std::string> message;

    static constexpr int kRefusedStatus = 2;
};

// `arguments` without the program name. A display is there when DISPLAY or WAYLAND_DISPLAY is
// set, or QT_QPA_PLATFORM names a platform of its own (offscreen, vnc, eglfs, …). The terminal
// view needs an output terminal only when it was not asked for. Arguments other than
// --terminal and --count are left to the desktop start-up.
LaunchChoice chooseLaunch(std::span<const std::string_view> arguments,
                          const EnvironmentLookup& environment, bool outputIsTerminal);

}  // namespace pylonix
