#include "platform/linux/applications/desktop_entry_catalogue.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <system_error>

#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

// Desktop entries are small; a larger file is not one.
constexpr std::size_t kEntryLimit = 256 * 1024;

const char* nonEmpty(const char* value) {
    return value && *value ? value : nullptr;
}

std::optional<fs::file_time_type> modificationTime(const fs::path& path) {
    std::error_code error;
    const auto time = fs::last_write_time(path, error);
    if (error) return std::nullopt;
    return time;
}

std::optional<CatalogueEntry> readEntry(const fs::path& file, std::string desktopId,
                                        const std::string& locale) {
    const auto text = readOutsideFile(file, kEntryLimit);
    if (!text) return std::nullopt;
    auto entry = parseDesktopEntry(*text, locale);
    if (!entry) return std::nullopt;
    return CatalogueEntry{file.string(), std::move(desktopId), std::move(*entry)};
}

}  // namespace

DesktopEntryLocations DesktopEntryLocations::fromEnvironment() {
    DesktopEntryLocations locations;
    if (const char* dataHome = nonEmpty(std::getenv("XDG_DATA_HOME"))) {
        locations.dataHome = dataHome;
    } else if (const char* home = nonEmpty(std::getenv("HOME"))) {
        locations.dataHome = fs::path(home) / ".local/share";
    }
    locations.dataDirs = splitPathList(std::getenv("XDG_DATA_DIRS"));
    if (locations.dataDirs.empty()) locations.dataDirs = {"/usr/local/share", "/usr/share"};
    locations.searchPath = splitPathList(std::getenv("PATH"));
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = nonEmpty(std::getenv(name))) {
            locations.locale = value;
            break;
        }
    }
    return locations;
}

DesktopEntryCatalogue::DesktopEntryCatalogue(DesktopEntryLocations locations)
    : locations_(std::move(locations)) {}

std::vector<fs::path> DesktopEntryCatalogue::applicationDirectories() const {
    std::vector<fs::path> directories;
    if (!locations_.dataHome.empty()) directories.push_back(locations_.dataHome / "applications");
    for (const fs::path& dir : locations_.dataDirs) directories.push_back(dir / "applications");
    return directories;
}

void DesktopEntryCatalogue::load() {
    loaded_ = true;
    ++generation_;
    entries_.clear();
    byId_.clear();
    byPath_.clear();
    stamps_.clear();
    std::set<std::string> seenIds;  // shown or not: the first directory decides an id
    for (const fs::path& directory : applicationDirectories()) {
        const auto stamp = modificationTime(directory);
        stamps_.emplace_back(directory, stamp);  // a missing one too: it may appear later
        if (!stamp) continue;
        std::error_code error;
        fs::recursive_directory_iterator it(directory,
                                            fs::directory_options::skip_permission_denied, error);
        const fs::recursive_directory_iterator end;
        std::vector<std::pair<std::string, fs::path>> files;
        for (; !error && it != end; it.increment(error)) {
            std::error_code kindError;
            if (it->is_directory(kindError)) {
                if (it.depth() + 1 >= kMaxDepth) {
                    it.disable_recursion_pending();
                } else {
                    stamps_.emplace_back(it->path(), modificationTime(it->path()));
                }
                continue;
            }
            if (it->path().extension() != ".desktop") continue;
            // The desktop id: the path below the directory with '/' turned into '-'.
            std::string id =
                fs::relative(it->path(), directory, error).replace_extension().string();
            for (char& c : id) c = c == '/' ? '-' : c;
            files.emplace_back(std::move(id), it->path());
        }
        std::sort(files.begin(), files.end());  // a stable order whatever the file system's
        for (auto& [id, file] : files) {
            if (!seenIds.insert(id).second) continue;
            auto entry = readEntry(file, id, locations_.locale);
            if (!entry || !entry->entry.isShownApplication()) continue;
            byId_.emplace(entry->desktopId, entries_.size());
            byPath_.emplace(entry->path, entries_.size());
            entries_.push_back(std::move(*entry));
        }
    }
    outside_.clear();
    outsideOrder_.clear();
}

void DesktopEntryCatalogue::refreshIfChanged() {
    if (!loaded_) {
        load();
        return;
    }
    for (const auto& [directory, stamp] : stamps_) {
        if (modificationTime(directory) != stamp) {
            load();
            return;
        }
    }
}

const CatalogueEntry* DesktopEntryCatalogue::findById(std::string_view desktopId) const {
    const auto found = byId_.find(std::string(desktopId));
    return found == byId_.end() ? nullptr : &entries_[found->second];
}

const CatalogueEntry* DesktopEntryCatalogue::findByPath(const std::string& path) {
    if (const auto found = byPath_.find(path); found != byPath_.end()) {
        return &entries_[found->second];
    }
    if (path.empty() || path.front() != '/' || !path.ends_with(".desktop")) return nullptr;
    if (const auto found = outside_.find(path); found != outside_.end()) {
        outsideOrder_.splice(outsideOrder_.begin(), outsideOrder_, found->second);
        return found->second->second ? &*found->second->second : nullptr;
    }
    const fs::path file(path);
    auto entry = readEntry(file, file.stem().string(), locations_.locale);
    if (entry && !entry->entry.isShownApplication()) entry.reset();
    outsideOrder_.emplace_front(path, std::move(entry));
    outside_.emplace(path, outsideOrder_.begin());
    if (outsideOrder_.size() > kMaxOutsideEntries) {
        outside_.erase(outsideOrder_.back().first);
        outsideOrder_.pop_back();
    }
    const auto& kept = outsideOrder_.front().second;
    return kept ? &*kept : nullptr;
}

}  // namespace pylonix::linux_platform
