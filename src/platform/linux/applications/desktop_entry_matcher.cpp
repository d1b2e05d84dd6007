#include "platform/linux/applications/desktop_entry_matcher.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "platform/linux/applications/entry_command.h"
#include "platform/linux/applications/program_path_chain.h"

namespace pylonix::linux_platform {
namespace {

// How many of `wanted` appear in `arguments` in their order, each after the previous one.
std::size_t inOrder(const std::vector<std::string>& wanted,
                    const std::vector<std::string>& arguments) {
    std::size_t found = 0;
    for (std::size_t i = 0; i < arguments.size() && found < wanted.size(); ++i) {
        if (arguments[i] == wanted[found]) ++found;
    }
    return found;
}

// The index in `arguments` of the script an interpreter runs: its first argument that is not
// an option, unless an inline script comes first.
std::optional<std::size_t> scriptArgument(const std::string& interpreter,
                                          const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (isInlineScriptOption(interpreter, arguments[i])) return std::nullopt;
        if (!arguments[i].empty() && arguments[i].front() != '-') return i;
    }
    return std::nullopt;
}

}  // namespace

DesktopEntryMatcher::DesktopEntryMatcher(const std::vector<CatalogueEntry>& entries,
                                         const std::vector<std::filesystem::path>& searchPath,
                                         const std::filesystem::path& root) {
    std::vector<std::vector<std::string>> chains;  // beside claims_
    for (const CatalogueEntry& catalogued : entries) {
        const DesktopEntry& entry = catalogued.entry;
        if (entry.terminal) continue;  // its program belongs to the terminal
        EntryCommand command = entryCommand(entry.exec);
        const auto chain = programPathChain(command.program, searchPath, root);
        const bool interpreted = isInterpreterProgram(command.program) ||
                                 (!chain.empty() && isInterpreterProgram(chain.back()));
        if (interpreted && !namesWhatToRun(command.program, command.arguments)) continue;
        const std::size_t index = entryPaths_.size();
        entryPaths_.push_back(catalogued.path);
        if (!chain.empty()) {
            claims_.push_back({index, command.arguments, interpreted, interpreted});
            chains.push_back(chain);
        }
        // TryExec names the installed program; it claims like Exec, unless it is an
        // interpreter itself (then it tells nothing about the process).
        if (entry.tryExec && !interpreted) {
            auto tryChain = programPathChain(*entry.tryExec, searchPath, root);
            if (!tryChain.empty() && !isInterpreterProgram(tryChain.back()) &&
                (chain.empty() || tryChain.back() != chain.back())) {
                claims_.push_back({index, command.arguments, false, false});
                chains.push_back(std::move(tryChain));
            }
        }
    }
    // A program several entries share needs their arguments to tell them apart.
    std::map<std::string, std::set<std::size_t>> entriesByFile;
    for (std::size_t i = 0; i < claims_.size(); ++i) {
        entriesByFile[chains[i].back()].insert(claims_[i].entry);
    }
    for (std::size_t i = 0; i < claims_.size(); ++i) {
        Claim& claim = claims_[i];
        claim.needsArguments = claim.needsArguments || entriesByFile[chains[i].back()].size() > 1;
        hasScriptClaims_ = hasScriptClaims_ || !claim.interpreted;
        for (const std::string& path : chains[i]) {
            auto& list = byProgram_[path];
            if (std::find(list.begin(), list.end(), i) == list.end()) list.push_back(i);
        }
    }
}

namespace {

// The program an executable path names: one replaced on disk while it runs (an upgrade) still
// is that program.
std::string installedProgram(const std::string& executable) {
    constexpr std::string_view kDeleted = " (deleted)";
    if (!executable.ends_with(kDeleted)) return executable;
    return executable.substr(0, executable.size() - kDeleted.size());
}

}  // namespace

bool DesktopEntryMatcher::needsCommandLine(const std::string& executable) const {
    const std::string program = installedProgram(executable);
    if (hasScriptClaims_ && isInterpreterProgram(program)) return true;
    const auto found = byProgram_.find(program);
    if (found == byProgram_.end()) return false;
    return std::any_of(found->second.begin(), found->second.end(), [this](std::size_t i) {
        return claims_[i].needsArguments && !claims_[i].arguments.empty();
    });
}

void DesktopEntryMatcher::addCandidates(const std::string& program,
                                        const std::vector<std::string>& arguments, bool viaScript,
                                        std::vector<Candidate>& candidates) const {
    const auto found = byProgram_.find(program);
    if (found == byProgram_.end()) return;
    for (const std::size_t i : found->second) {
        const Claim& claim = claims_[i];
        if (viaScript && claim.interpreted) continue;  // a script is not an interpreter
        const std::size_t present = inOrder(claim.arguments, arguments);
        if (claim.needsArguments && present < claim.arguments.size()) continue;
        candidates.push_back({&claim, present});
    }
}

std::optional<std::string> DesktopEntryMatcher::best(
    const std::vector<Candidate>& candidates) const {
    const Candidate* winner = nullptr;
    for (const Candidate& candidate : candidates) {
        const auto rank = [](const Candidate& c) {
            // More matching arguments first, then fewer arguments of its own, then the first.
            return std::tuple(c.specificity,
                              -static_cast<std::ptrdiff_t>(c.claim->arguments.size()),
                              -static_cast<std::ptrdiff_t>(c.claim->entry));
        };
        if (!winner || rank(candidate) > rank(*winner)) winner = &candidate;
    }
    if (!winner) return std::nullopt;
    return entryPaths_[winner->claim->entry];
}

std::optional<std::string> DesktopEntryMatcher::match(
    const std::string& executable, const std::vector<std::string>& commandLine) const {
    const std::string program = installedProgram(executable);
    const std::vector<std::string> arguments = processArguments(commandLine);
    std::vector<Candidate> candidates;
    addCandidates(program, arguments, false, candidates);
    if (hasScriptClaims_ && isInterpreterProgram(program)) {
        if (const auto script = scriptArgument(program, arguments)) {
            const std::vector<std::string> after(
                arguments.begin() + static_cast<std::ptrdiff_t>(*script) + 1, arguments.end());
            addCandidates(arguments[*script], after, true, candidates);
        }
    }
    return best(candidates);
}

std::optional<std::string> DesktopEntryMatcher::entryForProgram(const std::string& program) const {
    std::vector<Candidate> candidates;
    if (const auto found = byProgram_.find(program); found != byProgram_.end()) {
        for (const std::size_t i : found->second) {
            if (!claims_[i].interpreted) candidates.push_back({&claims_[i], 0});
        }
    }
    return best(candidates);
}

}  // namespace pylonix::linux_platform
