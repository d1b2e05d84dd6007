#include "app/terminal/terminal_launch.h"

#include <charconv>

namespace pylonix {
namespace {

constexpr std::string_view kTerminalOption = "--terminal";
constexpr std::string_view kCountOption = "--count";

bool isSet(const EnvironmentLookup& environment, const char* name) {
    const std::optional<std::string> value = environment(name);
    return value && !value->empty();
}

LaunchChoice refused(std::string message) {
    return {LaunchChoice::Kind::refused, std::nullopt, "pylonix: " + std::move(message)};
}

}  // namespace

LaunchChoice chooseLaunch(std::span<const std::string_view> arguments,
                          const EnvironmentLookup& environment, bool outputIsTerminal) {
    bool terminal = false;
    std::optional<long long> count;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        if (argument == kTerminalOption) {
            terminal = true;
        } else if (argument == kCountOption) {
            if (index + 1 == arguments.size()) return refused("--count needs a number");
            const std::string_view text = arguments[++index];
            long long value = 0;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), value);
            if (error != std::errc() || end != text.data() + text.size() || value < 1) {
                return refused("--count must be a whole number of at least 1, not \"" +
                               std::string(text) + "\"");
            }
            count = value;
        }
    }
    if (count && !terminal) return refused("--count goes with --terminal");
    if (terminal) return {LaunchChoice::Kind::terminal, count, std::nullopt};

    if (isSet(environment, "DISPLAY") || isSet(environment, "WAYLAND_DISPLAY") ||
        isSet(environment, "QT_QPA_PLATFORM")) {
        return {};
    }
    constexpr std::string_view kNoDisplay =
        "no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so no tray";
    if (!outputIsTerminal) {
        return refused(std::string(kNoDisplay) +
                       "; \"pylonix --terminal\" prints the readings as text");
    }
    return {LaunchChoice::Kind::terminal, std::nullopt,
            "pylonix: " + std::string(kNoDisplay) + "; showing the readings in the terminal"};
}

}  // namespace pylonix
