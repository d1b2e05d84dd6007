#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pylonix {

// What `pylonix` is asked to do before anything else starts (no display, no session bus
// needed): print its version, print its help, or run with the arguments as they are.
enum class EarlyAction { run, printVersion, printHelp };

// `--version` or `--help` (also `-h`) anywhere among the arguments, the first one winning;
// otherwise run. The program's name is not among `arguments`.
EarlyAction earlyAction(const std::vector<std::string_view>& arguments);

// Prints the version or the help on standard output and gives the exit status 0 when asked
// to; nothing when the program should run.
std::optional<int> handleEarlyAction(int argc, char* argv[]);

// "pylonix <version>" and a line end.
std::string versionText();

// The usage: the options and the environment variables the program reads.
std::string helpText();

}  // namespace pylonix
