#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/applications/desktop_entry_catalogue.h"

namespace pylonix::linux_platform {

// A throw-away file system root for program lookups: executables and symbolic links at the
// absolute paths a real system has them, inside a temporary directory.
class FakeRoot {
  public:
    explicit FakeRoot(const std::string& name)
        : root_(std::filesystem::temp_directory_path() /
                ("pylonix_" + name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~FakeRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FakeRoot(const FakeRoot&) = delete;
    FakeRoot& operator=(const FakeRoot&) = delete;

    const std::filesystem::path& path() const { return root_; }

    // An executable file (or, with `executable` false, a plain one) at absolute `path`.
    void program(const std::string& path, bool executable = true) const {
        const auto file = inside(path);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << "#!/bin/sh\n";
        std::filesystem::permissions(
            file, executable ? std::filesystem::perms(0755) : std::filesystem::perms(0644));
    }
    // A symbolic link at absolute `path` with `target` written as is (relative or absolute).
    void link(const std::string& path, const std::string& target) const {
        const auto file = inside(path);
        std::filesystem::create_directories(file.parent_path());
        std::filesystem::create_symlink(target, file);
    }

  private:
    std::filesystem::path inside(const std::string& path) const {
        return root_ / std::filesystem::path(path).relative_path();
    }
    std::filesystem::path root_;
};

// A catalogue entry parsed from the text of a desktop entry file, for matcher tests.
inline CatalogueEntry catalogueEntry(const std::string& path, std::string_view text) {
    auto entry = parseDesktopEntry(text, "C");
    std::string id = std::filesystem::path(path).stem().string();
    return {path, std::move(id), entry ? std::move(*entry) : DesktopEntry{}};
}

}  // namespace pylonix::linux_platform
