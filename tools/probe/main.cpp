// pylonix-probe: prints, as JSON, what the platform layers read and what the core computes.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "probe_command.h"

namespace {

void printUsage(std::ostream& out) {
    out << "usage: pylonix-probe <command> [arguments]\n\ncommands:\n";
    for (const auto& command : pylonix::probe::probeCommands()) {
        out << "  " << command.name << ' ' << command.usage << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pylonix::probe;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty() || arguments.front() == "--help" || arguments.front() == "-h") {
        printUsage(arguments.empty() ? std::cerr : std::cout);
        return arguments.empty() ? 2 : 0;
    }
    for (const ProbeCommand& command : probeCommands()) {
        if (command.name != arguments.front()) continue;
        try {
            return command.run(Arguments(arguments).subspan(1), std::cout);
        } catch (const UsageError& error) {
            std::cerr << "pylonix-probe " << command.name << ": " << error.what()
                      << " (usage: pylonix-probe " << command.name << ' ' << command.usage << ")\n";
        } catch (const InputError& error) {
            std::cerr << "pylonix-probe " << command.name << ": " << error.what() << '\n';
        } catch (const std::exception& error) {
            std::cerr << "pylonix-probe " << command.name << ": " << error.what() << '\n';
            return 1;
        }
        return 2;
    }
    std::cerr << "pylonix-probe: unknown command " << arguments.front() << '\n';
    printUsage(std::cerr);
    return 2;
}
