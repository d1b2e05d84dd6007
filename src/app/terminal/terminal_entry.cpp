#include "app/terminal/terminal_entry.h"

#include <unistd.h>

#include <iostream>
#include <string_view>
#include <vector>

#include "app/terminal/terminal_launch.h"
#include "app/terminal/terminal_view.h"

namespace pylonix {

std::optional<int> runTerminalWhenChosen(int argc, char* argv[]) {
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const LaunchChoice choice =
        chooseLaunch(arguments, processEnvironmentVariable, ::isatty(STDOUT_FILENO) == 1);
    if (choice.message) std::cerr << *choice.message << std::endl;
    switch (choice.kind) {
        case LaunchChoice::Kind::desktop:
            return std::nullopt;
        case LaunchChoice::Kind::refused:
            return LaunchChoice::kRefusedStatus;
        case LaunchChoice::Kind::terminal:
            break;
    }
    // Qt reads its own options from argv; the terminal view's are no business of it.
    int qtArgc = argc > 0 ? 1 : 0;
    return runTerminalView(qtArgc, argv, {.count = choice.count});
}

}  // namespace pylonix
