#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pylonix::linux_platform {

// The whole of a small kernel file (sysfs, procfs), or nothing when it cannot be opened or
// read. Reads at most `limit` bytes: kernel attribute files are at most a page.
std::optional<std::string> readSysfsFile(const std::filesystem::path& path,
                                         std::size_t limit = 4096);

// The same for a path relative to an open directory (`AT_FDCWD`: the working directory), which
// spares the kernel the walk from the root.
std::optional<std::string> readSysfsFileAt(int directoryFd, const char* path,
                                           std::size_t limit = 4096);

// The value without surrounding white space (kernel files end in a newline).
std::string_view trimSysfsValue(std::string_view text);

// A whole decimal integer, optionally signed; nothing for empty text, garbage, trailing
// characters or values out of range.
std::optional<std::int64_t> parseSysfsInteger(std::string_view text);

}  // namespace pylonix::linux_platform
