#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "probe_json.h"

namespace pylonix::probe {

// A wrong command line; main prints the message and the usage, exit status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

using Arguments = std::span<const std::string>;

struct ProbeCommand {
    std::string_view name;
    std::string_view usage;  // the arguments after the name
    int (*run)(Arguments arguments, std::ostream& out);
};

// The standard input, or the file named by the only positional argument ("-" is standard
// input); InputError when the file cannot be read.
std::string readInputText(const std::vector<std::string>& positional);

// Splits "--name value" options from positional arguments; UsageError for unknown options.
struct ParsedArguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;

    const std::string* option(std::string_view name) const;
};
ParsedArguments parseArguments(Arguments arguments, std::span<const std::string_view> optionNames);

double parseDoubleOption(const std::string& text, std::string_view name);
long long parseCountOption(const std::string& text, std::string_view name);

// Writes one JSON document and a newline.
void printJson(std::ostream& out, const Json& json);

// Every subcommand, in the order `pylonix-probe --help` lists them.
std::span<const ProbeCommand> probeCommands();

}  // namespace pylonix::probe
