#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pylonix::linux_platform {

// A desktop entry's command as it identifies a process: the program that ends up running and
// the entry's own arguments to it (field codes already removed by the Exec parser).
struct EntryCommand {
    std::string program;
    std::vector<std::string> arguments;
};

// The command of an Exec value split into arguments. `env` is looked through: its options and
// VAR=value assignments are skipped and the program it starts is the command's program (again
// and again for `env env …`). `env -S "prog args"` is split at blanks the way env splits it.
EntryCommand entryCommand(std::span<const std::string> exec);

// A process's arguments after argv[0], from its command line. A program that rewrote its
// title into one string with blanks (Chromium's and Electron's helpers) is read word by word.
std::vector<std::string> processArguments(const std::vector<std::string>& commandLine);

// Whether the program at `path` runs what its arguments name rather than being an application
// of its own: shells, language interpreters and virtual machines, and launchers that start
// another program (`env`, `flatpak`, `wine`, `xdg-open`, `pkexec`…). Told by the file's name, with
// any version suffix ("python3.11", "perl5.36.0", "lua5.4") ignored.
bool isInterpreterProgram(std::string_view path);

// Whether `argument` makes the interpreter at `interpreter` run the next argument as inline
// code (`sh -c`, `python3 -c`, `perl -e`, `node --eval`) rather than a script it names.
bool isInlineScriptOption(std::string_view interpreter, std::string_view argument);

// Whether an interpreter's arguments name something particular to run (a script, module, jar
// or application id) and no inline script: `python3 /opt/foo/main.py`, `java -jar x.jar`,
// `flatpak run org.example.App`, but not `sh -c "…"` nor a bare `python3` or `bash -l`.
bool namesWhatToRun(std::string_view interpreter, std::span<const std::string> arguments);

}  // namespace pylonix::linux_platform
