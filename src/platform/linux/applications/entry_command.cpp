#include "platform/linux/applications/entry_command.h"

#include <algorithm>

namespace pylonix::linux_platform {
namespace {

constexpr std::string_view kInterpreters[]{
    // shells
    "sh", "bash", "dash", "zsh", "ksh", "mksh", "fish", "csh", "tcsh", "busybox",
    // languages and virtual machines
    "python", "pypy", "perl", "ruby", "node", "nodejs", "deno", "java", "gjs", "gjs-console", "cjs",
    "seed", "mono", "dotnet", "lua", "luajit", "php", "tclsh", "wish", "Rscript", "guile", "qml",
    "qmlscene", "osascript", "electron", "pwsh",
    // launchers of another program
    "env", "flatpak", "snap", "wine", "wine64", "wine-preloader", "wine64-preloader", "xdg-open",
    "gtk-launch", "exo-open", "pkexec"};

// Options that take their value as the next argument: `env -u NAME`, `env -C DIR`.
bool envOptionTakesValue(std::string_view option) {
    return option == "-u" || option == "--unset" || option == "-C" || option == "--chdir";
}

bool isAssignment(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    if (equals == 0 || equals == std::string_view::npos) return false;
    const std::string_view name = argument.substr(0, equals);
    const auto isNameChar = [](char c) {
        return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               (c >= '0' && c <= '9');
    };
    return std::all_of(name.begin(), name.end(), isNameChar) && !(name[0] >= '0' && name[0] <= '9');
}

// Words split at blanks, without quoting (the way `env -S` splits its string).
std::vector<std::string> splitAtBlanks(std::string_view text) {
    std::vector<std::string> words;
    while (!text.empty()) {
        const std::size_t start = text.find_first_not_of(" \t");
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(text.find_first_of(" \t", start), text.size());
        words.emplace_back(text.substr(start, end - start));
        text.remove_prefix(end);
    }
    return words;
}

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// "python3.11" -> "python", "perl5.36.0" -> "perl", "wine-stable" -> "wine".
std::string_view programFamily(std::string_view path) {
    std::string_view name = baseName(path);
    while (!name.empty() && ((name.back() >= '0' && name.back() <= '9') || name.back() == '.')) {
        name.remove_suffix(1);
    }
    for (const std::string_view suffix : {"-stable", "-development", "-staging"}) {
        if (name.ends_with(suffix)) name.remove_suffix(suffix.size());
    }
    return name;
}

// What `env` runs, from its arguments: the program and its arguments after env's options and
// assignments (a `-S` string is split into words and read again); empty when it runs nothing.
std::vector<std::string> lookThroughEnv(std::span<const std::string> arguments) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--") {
            rest.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
            return rest;
        }
        if (argument == "-S" || argument == "--split-string" ||
            argument.starts_with("--split-string=") ||
            (argument.starts_with("-S") && argument.size() > 2)) {
            std::string_view words;
            if (argument == "-S" || argument == "--split-string") {
                if (++i == arguments.size()) return {};
                words = arguments[i];
            } else {
                words = argument.substr(argument.starts_with("-S") ? 2 : 15);
            }
            rest = splitAtBlanks(words);
            rest.insert(rest.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                        arguments.end());
            return lookThroughEnv(rest);  // the split words may hold assignments too
        }
        if (envOptionTakesValue(argument)) {
            ++i;
            continue;
        }
        if (argument.starts_with("-") || isAssignment(argument)) continue;
        rest.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
        return rest;
    }
    return rest;
}

}  // namespace

std::vector<std::string> processArguments(const std::vector<std::string>& commandLine) {
    const bool title =
        commandLine.size() == 1 && commandLine.front().find(' ') != std::string::npos;
    std::vector<std::string> words = title ? splitAtBlanks(commandLine.front()) : commandLine;
    if (!words.empty()) words.erase(words.begin());
    return words;
}

bool isInterpreterProgram(std::string_view path) {
    const std::string_view family = programFamily(path);
    return std::find(std::begin(kInterpreters), std::end(kInterpreters), family) !=
           std::end(kInterpreters);
}

bool isInlineScriptOption(std::string_view interpreter, std::string_view argument) {
    const std::string_view family = programFamily(interpreter);
    if (family == "perl") return argument == "-e" || argument == "-E";
    if (family == "node" || family == "nodejs" || family == "deno") {
        return argument == "-e" || argument == "--eval" || argument == "-p" ||
               argument == "--print";
    }
    if (family == "php") return argument == "-r";
    if (family == "ruby" || family == "lua" || family == "luajit" || family == "guile" ||
        family == "osascript") {
        return argument == "-e";
    }
    if (family == "pwsh") return argument == "-c" || argument == "-Command";
    return argument == "-c";  // shells, Python and the rest
}

EntryCommand entryCommand(std::span<const std::string> exec) {
    std::vector<std::string> words(exec.begin(), exec.end());
    while (!words.empty() && baseName(words.front()) == "env") {
        words = lookThroughEnv(std::span(words).subspan(1));
    }
    EntryCommand command;
    if (words.empty()) return command;
    command.program = words.front();
    command.arguments.assign(words.begin() + 1, words.end());
    return command;
}

bool namesWhatToRun(std::string_view interpreter, std::span<const std::string> arguments) {
    bool named = false;
    for (const std::string& argument : arguments) {
        if (isInlineScriptOption(interpreter, argument)) return false;
        named = named || (!argument.empty() && argument.front() != '-');
    }
    return named;
}

}  // namespace pylonix::linux_platform
