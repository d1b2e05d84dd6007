#include "platform/linux/applications/program_path_chain.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

// The same limit as the kernel's for links followed in one lookup.
constexpr int kLinkLimit = 40;

fs::path underRoot(const fs::path& root, const fs::path& path) {
    return root == "/" ? path : root / path.relative_path();
}

// Follows every link of the absolute, lexically normal `path` inside `root`, adding each whole
// path it passes through to `chain`. False when a link loops or a target cannot be read.
bool followLinks(const fs::path& root, fs::path path, std::vector<std::string>& chain) {
    for (int links = 0;;) {
        fs::path done = "/";
        bool replaced = false;
        for (auto part = path.begin(); part != path.end(); ++part) {
            if (*part == "/" || part->empty()) continue;
            const fs::path next = done / *part;
            std::error_code error;
            if (!fs::is_symlink(fs::symlink_status(underRoot(root, next), error))) {
                done = next;
                continue;
            }
            if (++links > kLinkLimit) return false;
            const fs::path target = fs::read_symlink(underRoot(root, next), error);
            if (error) return false;
            fs::path rest = target.is_absolute() ? target : done / target;
            for (auto after = std::next(part); after != path.end(); ++after) rest /= *after;
            path = rest.lexically_normal();
            replaced = true;
            break;
        }
        if (!replaced) return true;
        const std::string text = path.string();
        if (std::find(chain.begin(), chain.end(), text) == chain.end()) chain.push_back(text);
    }
}

bool isExecutableFile(const fs::path& root, const fs::path& path) {
    std::error_code error;
    const fs::path real = underRoot(root, path);
    return fs::is_regular_file(real, error) && ::access(real.c_str(), X_OK) == 0;
}

std::vector<std::string> chainFrom(const fs::path& root, const fs::path& start) {
    std::vector<std::string> chain{start.lexically_normal().string()};
    if (!followLinks(root, start.lexically_normal(), chain)) return {};
    if (!isExecutableFile(root, chain.back())) return {};
    return chain;
}

}  // namespace

std::vector<std::string> programPathChain(const std::string& program,
                                          const std::vector<fs::path>& searchPath,
                                          const fs::path& root) {
    if (program.empty()) return {};
    if (program.front() == '/') return chainFrom(root, program);
    // Relative to a working directory the entry does not know.
    if (program.find('/') != std::string::npos) return {};
    for (const fs::path& directory : searchPath) {
        if (!directory.is_absolute()) continue;
        auto chain = chainFrom(root, directory / program);
        if (!chain.empty()) return chain;
    }
    return {};
}

}  // namespace pylonix::linux_platform
