#pragma once

#include <cstdint>
#include <filesystem>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/linux/applications/desktop_entry.h"

namespace pylonix::linux_platform {

// Where desktop entries are looked for, and the user's locale for their names.
struct DesktopEntryLocations {
    std::filesystem::path dataHome;                 // XDG_DATA_HOME
    std::vector<std::filesystem::path> dataDirs;    // XDG_DATA_DIRS, most important first
    std::vector<std::filesystem::path> searchPath;  // PATH, for Exec and TryExec programs
    std::string locale;                             // LC_ALL, LC_MESSAGES or LANG

    // From this process's environment, with the defaults of the XDG base directories.
    static DesktopEntryLocations fromEnvironment();
};

// One desktop entry file that was found, with its absolute path (the application's id).
struct CatalogueEntry {
    std::string path;
    std::string desktopId;  // "org.gnome.Terminal" for .../applications/org.gnome.Terminal.desktop
    DesktopEntry entry;
};

// The desktop applications installed for the user: every "applications" directory under the
// data directories, down to `kMaxDepth` levels of subdirectories (a subdirectory that cannot be
// read is skipped). An id found in a more important directory hides the same id in the others;
// hidden entries hide it for good. Only shown application entries are kept. Nothing is read
// until the first `refreshIfChanged`, so that the reading happens where that is called.
class DesktopEntryCatalogue {
  public:
    // Levels of subdirectories looked into below an applications directory; entries sit one or
    // two deep at most.
    static constexpr int kMaxDepth = 8;
    // Entries outside the directories kept at most (the least recently asked for go first).
    static constexpr std::size_t kMaxOutsideEntries = 64;

    explicit DesktopEntryCatalogue(DesktopEntryLocations locations);

    // Reads the directories the first time, and again when one of them changed since the last
    // read (an application was installed or removed); otherwise costs one status call per
    // directory.
    void refreshIfChanged();

    // Changes whenever the directories were read again.
    std::uint64_t generation() const { return generation_; }

    // By desktop id ("firefox-esr"), without the ".desktop" suffix.
    const CatalogueEntry* findById(std::string_view desktopId) const;
    // By the absolute path of the entry file. A shown application entry outside the
    // directories (a launcher's GIO_LAUNCHED_DESKTOP_FILE may name one) is read and kept, up to
    // `kMaxOutsideEntries` of them; the pointer to one lasts until the next call.
    const CatalogueEntry* findByPath(const std::string& path);

    const std::vector<CatalogueEntry>& entries() const { return entries_; }
    // What the catalogue keeps besides its entries: the directories it watches for changes and
    // the entries outside them.
    std::size_t watchedDirectoryCount() const { return stamps_.size(); }
    std::size_t outsideEntryCount() const { return outside_.size(); }
    const DesktopEntryLocations& locations() const { return locations_; }

  private:
    void load();
    std::vector<std::filesystem::path> applicationDirectories() const;

    DesktopEntryLocations locations_;
    std::vector<CatalogueEntry> entries_;
    std::unordered_map<std::string, std::size_t> byId_;
    std::unordered_map<std::string, std::size_t> byPath_;
    // Read on demand, by path, most recently asked for first.
    using OutsideEntries = std::list<std::pair<std::string, std::optional<CatalogueEntry>>>;
    OutsideEntries outsideOrder_;
    std::unordered_map<std::string, OutsideEntries::iterator> outside_;
    bool loaded_ = false;
    std::uint64_t generation_ = 0;
    // Every directory read, with its modification time when it was read (absent: missing).
    std::vector<std::pair<std::filesystem::path, std::optional<std::filesystem::file_time_type>>>
        stamps_;
};

}  // namespace pylonix::linux_platform
