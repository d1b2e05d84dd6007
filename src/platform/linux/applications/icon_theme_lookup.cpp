#include "platform/linux/applications/icon_theme_lookup.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <set>

#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kIndexLimit = 1024 * 1024;
constexpr std::array<const char*, 3> kExtensions = {".png", ".svg", ".xpm"};

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> items;
    while (!text.empty()) {
        if (const std::string_view item = trimSpace(takePiece(text, ',')); !item.empty()) {
            items.emplace_back(item);
        }
    }
    return items;
}

std::optional<int> parseInt(std::string_view text) {
    int value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || stop != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool isRegularFile(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The groups of an index.theme file: name -> key -> value.
std::map<std::string, std::map<std::string, std::string>> parseIndex(std::string_view text) {
    std::map<std::string, std::map<std::string, std::string>> groups;
    std::map<std::string, std::string>* group = nullptr;
    while (!text.empty()) {
        const std::string_view line = trimSpace(takePiece(text, '\n'));
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            group = &groups[std::string(line.substr(1, line.size() - 2))];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (group == nullptr || equals == std::string_view::npos) continue;
        (*group)[std::string(trimSpace(line.substr(0, equals)))] =
            std::string(trimSpace(line.substr(equals + 1)));
    }
    return groups;
}

}  // namespace

int IconThemeLookup::Directory::distance(int wanted) const {
    switch (type) {
        case Type::fixed:
            return std::abs(size - wanted);
        case Type::scalable:
            if (wanted < minSize) return minSize - wanted;
            if (wanted > maxSize) return wanted - maxSize;
            return 0;
        case Type::threshold:
            if (wanted < size - threshold) return size - threshold - wanted;
            if (wanted > size + threshold) return wanted - size - threshold;
            return 0;
    }
    return INT_MAX;
}

IconThemeLookup::IconThemeLookup(IconThemeSettings settings) : settings_(std::move(settings)) {
    if (settings_.fallbackThemeName.empty()) settings_.fallbackThemeName = "hicolor";
}

const IconThemeLookup::Theme* IconThemeLookup::theme(const std::string& name) {
    if (const auto found = themes_.find(name); found != themes_.end()) {
        return found->second ? &*found->second : nullptr;
    }
    std::optional<Theme>& slot = themes_[name];
    if (name.empty() || name.find('/') != std::string::npos) return nullptr;
    Theme theme;
    bool indexed = false;
    for (const fs::path& base : settings_.searchPaths) {
        const fs::path root = base / name;
        const auto index = readOutsideFile(root / "index.theme", kIndexLimit);
        std::error_code error;
        if (!index && !fs::is_directory(root, error)) continue;
        theme.roots.push_back(root);
        if (!index || indexed) continue;  // the first index found describes the theme
        indexed = true;
        auto groups = parseIndex(*index);
        const auto& header = groups["Icon Theme"];
        auto value = [&header](const char* key) {
            const auto found = header.find(key);
            return found == header.end() ? std::string() : found->second;
        };
        theme.parents = splitList(value("Inherits"));
        for (const std::string& path : splitList(value("Directories"))) {
            const auto& keys = groups[path];
            auto number = [&keys](const char* key) -> std::optional<int> {
                const auto found = keys.find(key);
                return found == keys.end() ? std::nullopt : parseInt(found->second);
            };
            Directory directory;
            directory.path = path;
            const auto size = number("Size");
            if (!size) continue;
            directory.size = *size;
            directory.minSize = number("MinSize").value_or(*size);
            directory.maxSize = number("MaxSize").value_or(*size);
            directory.threshold = number("Threshold").value_or(2);
            const auto type = keys.find("Type");
            if (type != keys.end() && type->second == "Fixed") {
                directory.type = Directory::Type::fixed;
            } else if (type != keys.end() && type->second == "Scalable") {
                directory.type = Directory::Type::scalable;
            }
            theme.directories.push_back(std::move(directory));
        }
    }
    if (theme.roots.empty()) return nullptr;
    slot = std::move(theme);
    return &*slot;
}

const std::vector<std::string>& IconThemeLookup::themeChain() {
    if (chain_) return *chain_;
    std::vector<std::string> chain;
    std::set<std::string> seen;
    // Breadth first from the desktop's theme, each theme once; the fallback theme last.
    std::vector<std::string> queue{settings_.themeName};
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const std::string name = queue[i];
        if (name == settings_.fallbackThemeName || !seen.insert(name).second) continue;
        const Theme* found = theme(name);
        if (found == nullptr) continue;
        chain.push_back(name);
        queue.insert(queue.end(), found->parents.begin(), found->parents.end());
    }
    chain.push_back(settings_.fallbackThemeName);
    chain_ = std::move(chain);
    return *chain_;
}

std::optional<fs::path> IconThemeLookup::find(const std::string& name, int size) {
    if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
    for (const std::string& themeName : themeChain()) {
        const Theme* found = theme(themeName);
        if (found == nullptr) continue;
        std::optional<fs::path> best;
        int bestDistance = INT_MAX;
        for (const Directory& directory : found->directories) {
            const int distance = directory.distance(size);
            if (distance >= bestDistance) continue;
            for (const fs::path& root : found->roots) {
                for (const char* extension : kExtensions) {
                    fs::path file = root / directory.path / (name + extension);
                    if (!isRegularFile(file)) continue;
                    if (distance == 0) return file;
                    best = std::move(file);
                    bestDistance = distance;
                    break;
                }
                if (best && bestDistance == distance) break;
            }
        }
        if (best) return best;
    }
    for (const fs::path& directory : settings_.fallbackPaths) {
        for (const char* extension : kExtensions) {
            fs::path file = directory / (name + extension);
            if (isRegularFile(file)) return file;
        }
    }
    return std::nullopt;
}

}  // namespace pylonix::linux_platform
