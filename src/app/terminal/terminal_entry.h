#pragma once

#include <optional>

namespace pylonix {

// Runs the terminal view when the command line asks for it (--terminal) or when there is no
// display, and refuses bad --terminal arguments; gives the exit status then. Gives none when
// the program should start on the desktop.
std::optional<int> runTerminalWhenChosen(int argc, char* argv[]);

}  // namespace pylonix
