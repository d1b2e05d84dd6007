#pragma once

#include <optional>

namespace pylonix {

// The live view in the terminal: the panel's sections as text, from the power monitor and the
// application power monitor (which samples while the view runs), refreshed at the refresh
// interval. On a terminal it draws in place on the alternate screen, in colour unless
// NO_COLOR is set or TERM is "dumb" (which also gets plain blocks), and reads keys: q quits,
// 1-4 pick the interval (kept in the preferences), a shows all applications or fewer again,
// r refreshes now. Elsewhere it prints one plain block per refresh. Ctrl-C, SIGINT, SIGTERM
// and SIGHUP end it with the terminal restored. Runs its own Qt core application.
struct TerminalViewOptions {
    std::optional<long long> count;  // refreshes shown before it ends by itself
};

// The exit status: 0 after q or `count` refreshes, 1 when the output went away, 128 + the
// signal's number after a signal (Ctrl-C counting as SIGINT).
int runTerminalView(int argc, char* argv[], const TerminalViewOptions& options);

}  // namespace pylonix
