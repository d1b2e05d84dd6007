// Random desktop entries and a random process, matched: the matcher never crashes, and never
// gives a process to an entry whose own arguments are absent from its command line unless
// that entry alone runs a program of its own. Input: one Exec value per line ("!" first: a
// Terminal=true entry), an empty line, the process's executable, then its arguments, one a line.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>

#include "platform/linux/applications/desktop_entry_matcher.h"
#include "platform/linux/applications/entry_command.h"
#include "platform/linux/applications/program_path_chain.h"

namespace {

namespace fs = std::filesystem;
using namespace pylonix::linux_platform;

const std::vector<fs::path> kSearchPath{"/usr/bin"};

// Interpreters, a shared browser and programs of their own, some behind links.
const fs::path& fakeRoot() {
    static const fs::path root = [] {
        const fs::path dir =
            fs::temp_directory_path() / ("pylonix_fuzz_matcher_" + std::to_string(::getpid()));
        fs::create_directories(dir / "usr/bin");
        fs::create_directories(dir / "opt/app");
        for (const char* name :
             {"usr/bin/python3.11", "usr/bin/dash", "usr/bin/env", "usr/bin/chromium",
              "usr/bin/java", "opt/app/app", "opt/app/tool"}) {
            std::ofstream(dir / name) << "#!/bin/sh\n";
            fs::permissions(dir / name, fs::perms(0755));
        }
        std::error_code ignored;
        fs::create_symlink("python3.11", dir / "usr/bin/python3", ignored);
        fs::create_symlink("dash", dir / "usr/bin/sh", ignored);
        fs::create_symlink("/opt/app/app", dir / "usr/bin/app", ignored);
        fs::create_symlink("usr/bin", dir / "bin", ignored);
        return dir;
    }();
    return root;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        result.push_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return result;
}

bool inOrder(const std::vector<std::string>& wanted, const std::vector<std::string>& words) {
    std::size_t found = 0;
    for (const std::string& word : words) {
        if (found < wanted.size() && word == wanted[found]) ++found;
    }
    return found == wanted.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const auto input = lines({reinterpret_cast<const char*>(data), size});
    std::vector<CatalogueEntry> entries;
    std::size_t next = 0;
    for (; next < input.size() && !input[next].empty() && entries.size() < 16; ++next) {
        std::string_view exec = input[next];
        const bool terminal = exec.starts_with('!');
        if (terminal) exec.remove_prefix(1);
        const std::string text = "[Desktop Entry]\nType=Application\nName=e\nTerminal=" +
                                 std::string(terminal ? "true" : "false") +
                                 "\nExec=" + std::string(exec) + "\n";
        auto entry = parseDesktopEntry(text, "C");
        if (!entry) continue;
        entries.push_back(
            {"/e" + std::to_string(entries.size()) + ".desktop", "e", std::move(*entry)});
    }
    while (next < input.size() && input[next].empty()) ++next;
    if (next >= input.size()) return 0;
    const std::string executable(input[next]);
    std::vector<std::string> commandLine(input.begin() + static_cast<std::ptrdiff_t>(next) + 1,
                                         input.end());

    const DesktopEntryMatcher matcher(entries, kSearchPath, fakeRoot());
    (void)matcher.needsCommandLine(executable);
    (void)matcher.entryForProgram(executable);
    const auto found = matcher.match(executable, commandLine);
    if (!found) return 0;

    // The oracle: the entry's arguments are there, or it alone runs a program of its own.
    const CatalogueEntry* matched = nullptr;
    for (const CatalogueEntry& entry : entries) {
        if (entry.path == *found) matched = &entry;
    }
    if (!matched || matched->entry.terminal) __builtin_trap();
    const EntryCommand command = entryCommand(matched->entry.exec);
    const auto chain = programPathChain(command.program, kSearchPath, fakeRoot());
    const bool interpreted = isInterpreterProgram(command.program) ||
                             (!chain.empty() && isInterpreterProgram(chain.back()));
    if (interpreted && !namesWhatToRun(command.program, command.arguments)) __builtin_trap();
    if (inOrder(command.arguments, processArguments(commandLine))) return 0;
    if (interpreted || chain.empty()) __builtin_trap();
    std::set<std::string> sharing;
    for (const CatalogueEntry& entry : entries) {
        const auto other =
            programPathChain(entryCommand(entry.entry.exec).program, kSearchPath, fakeRoot());
        if (!entry.entry.terminal && !other.empty() && other.back() == chain.back()) {
            sharing.insert(entry.path);
        }
    }
    if (sharing.size() > 1) __builtin_trap();
    return 0;
}
