#include "platform/linux/sysfs_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace pylonix::linux_platform {

std::optional<std::string> readSysfsFile(const std::filesystem::path& path, std::size_t limit) {
    return readSysfsFileAt(AT_FDCWD, path.c_str(), limit);
}

std::optional<std::string> readSysfsFileAt(int directoryFd, const char* path, std::size_t limit) {
    const int fd = ::openat(directoryFd, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    // Grown a page at a time, so that a large limit costs only what the file holds.
    constexpr std::size_t kStep = 4096;
    std::string content;
    std::size_t filled = 0;
    bool failed = false;
    while (filled < limit) {
        const std::size_t want = std::min(kStep, limit - filled);
        content.resize(filled + want);
        const ssize_t count = ::read(fd, content.data() + filled, want);
        if (count < 0) {
            if (errno == EINTR) continue;
            failed = true;
            break;
        }
        if (count == 0) break;
        filled += static_cast<std::size_t>(count);
        // Kernel files hand over as much as was asked for while there is more; a short read is
        // the end of the file, and saves the extra call that would only return 0.
        if (static_cast<std::size_t>(count) < want) break;
    }
    ::close(fd);
    if (failed) return std::nullopt;
    content.resize(filled);
    return content;
}

std::string_view trimSysfsValue(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

std::optional<std::int64_t> parseSysfsInteger(std::string_view text) {
    text = trimSysfsValue(text);
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (*begin == '+' && text.size() > 1 && text[1] != '-') ++begin;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace pylonix::linux_platform
