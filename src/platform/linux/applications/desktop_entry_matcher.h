#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/linux/applications/desktop_entry_catalogue.h"

namespace pylonix::linux_platform {

// Which desktop entry a process is, told by its executable and, where the executable alone
// says too little, its command line:
// - an entry claims the processes of its program: the Exec program (after `env` and its
//   assignments) or TryExec, found through PATH and followed through symbolic links;
// - where that program is an interpreter or launcher (`python3`, `sh`, `java`, `flatpak`…) or
//   several entries share it (`libreoffice --writer`, a browser and its web apps), the entry's
//   own arguments must appear in the process's command line, in their order; the entry
//   without arguments among several is the program itself and needs none;
// - an entry whose command names nothing particular (`sh -c …`, a bare interpreter) claims no
//   process at all, nor does one that runs in a terminal;
// - an interpreter running a script that an entry names as its program (`python3
//   /usr/bin/thonny`) is that entry's process;
// - among several matching entries the one with the most arguments wins, then the first.
// Building reads the file system (program lookup and links, inside `root`): do it off the
// main thread. Matching reads nothing.
class DesktopEntryMatcher {
  public:
    DesktopEntryMatcher(const std::vector<CatalogueEntry>& entries,
                        const std::vector<std::filesystem::path>& searchPath,
                        const std::filesystem::path& root = "/");

    // Whether `match` needs the command line of a process running `executable` (its real
    // path, as /proc/<pid>/exe shows it): true for an interpreter (its script may be an
    // entry's program) and for a program whose entries are told apart by their arguments;
    // false lets the caller skip reading it.
    bool needsCommandLine(const std::string& executable) const;

    // The path of the entry the process is, or nothing. `commandLine` is the process's
    // arguments, argv[0] first (a single string with blanks, as programs that rewrite their
    // title leave it, is split at the blanks).
    std::optional<std::string> match(const std::string& executable,
                                     const std::vector<std::string>& commandLine) const;

    // The path of the entry whose program is the file at `program` itself (an AppImage), the
    // one without arguments first; nothing when no entry's program is that file.
    std::optional<std::string> entryForProgram(const std::string& program) const;

  private:
    struct Claim {
        std::size_t entry = 0;               // in entryPaths_
        std::vector<std::string> arguments;  // the entry's own arguments to its program
        bool needsArguments = false;
        bool interpreted = false;  // the program is an interpreter or launcher
    };
    struct Candidate {
        const Claim* claim = nullptr;
        std::size_t specificity = 0;
    };

    void addCandidates(const std::string& program, const std::vector<std::string>& arguments,
                       bool viaScript, std::vector<Candidate>& candidates) const;
    std::optional<std::string> best(const std::vector<Candidate>& candidates) const;

    std::vector<std::string> entryPaths_;
    std::vector<Claim> claims_;
    // Every path on the way to each claim's program (see programPathChain) -> claims.
    std::unordered_map<std::string, std::vector<std::size_t>> byProgram_;
    bool hasScriptClaims_ = false;
};

}  // namespace pylonix::linux_platform
