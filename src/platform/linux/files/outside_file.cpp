#include "platform/linux/files/outside_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace pylonix::linux_platform {

namespace {

struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

OutsideFileResult readOutsideFileChecked(const std::filesystem::path& path, std::size_t cap) {
    return readOutsideFileCheckedAt(AT_FDCWD, path.c_str(), cap);
}

namespace {

int openNonBlocking(int directoryFd, const char* path) {
    return ::openat(directoryFd, path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

bool isRegular(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// Up to `cap` bytes of an open file; one byte more tells a file that is too large.
OutsideFileResult readOpened(int fd, std::size_t cap) {
    // Kernel files report a size of 0 or a page whatever they hold, so the size is known only
    // by reading. Grown a page at a time, so that a large cap costs only what the file holds.
    constexpr std::size_t kStep = 4096;
    const std::size_t wantTotal = cap + 1;
    std::string content;
    std::size_t filled = 0;
    while (filled < wantTotal) {
        const std::size_t want = std::min(kStep, wantTotal - filled);
        content.resize(filled + want);
        const ssize_t count = ::read(fd, content.data() + filled, want);
        if (count < 0) {
            if (errno == EINTR) continue;
            return {std::nullopt, OutsideFileError::unavailable};
        }
        if (count == 0) break;
        filled += static_cast<std::size_t>(count);
        // A regular file hands over as much as was asked for while there is more, kernel files
        // included; a short read is the end, and saves the extra call that would only return 0.
        if (static_cast<std::size_t>(count) < want) break;
    }
    if (filled > cap) return {std::nullopt, OutsideFileError::tooLarge};
    content.resize(filled);
    return {std::move(content), OutsideFileError::unavailable};
}

}  // namespace

OutsideFileResult readOutsideFileCheckedAt(int directoryFd, const char* path, std::size_t cap) {
    const FileDescriptor file{openNonBlocking(directoryFd, path)};
    if (file.fd < 0) {
        const bool refused = errno == EACCES || errno == EPERM;
        return {std::nullopt,
                refused ? OutsideFileError::notPermitted : OutsideFileError::unavailable};
    }
    if (!isRegular(file.fd)) return {std::nullopt, OutsideFileError::notRegular};
    return readOpened(file.fd, cap);
}

std::optional<std::string> rereadOutsideFileAt(int directoryFd, const char* path, std::size_t cap) {
    const FileDescriptor file{openNonBlocking(directoryFd, path)};
    if (file.fd < 0) return std::nullopt;
    return readOpened(file.fd, cap).content;
}

KeptOutsideFile KeptOutsideFile::open(int directoryFd, const char* path) {
    KeptOutsideFile file;
    file.fd_ = openNonBlocking(directoryFd, path);
    if (file.fd_ >= 0 && !isRegular(file.fd_)) file = KeptOutsideFile();
    return file;
}

KeptOutsideFile& KeptOutsideFile::operator=(KeptOutsideFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

KeptOutsideFile::~KeptOutsideFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> KeptOutsideFile::read(std::size_t cap) const {
    if (fd_ < 0) return std::nullopt;
    // One byte past the cap tells a file that is too large; a short read is the end.
    std::string content(cap + 1, '\0');
    std::size_t filled = 0;
    while (filled < content.size()) {
        const ssize_t count = ::pread(fd_, content.data() + filled, content.size() - filled,
                                      static_cast<off_t>(filled));
        if (count < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (count == 0) break;
        filled += static_cast<std::size_t>(count);
        if (filled < content.size()) break;
    }
    if (filled > cap) return std::nullopt;
    content.resize(filled);
    return content;
}

bool readOutsideFileInPiecesAt(int directoryFd, const char* path, std::size_t cap,
                               std::size_t piece,
                               const std::function<bool(std::string_view)>& consume) {
    const FileDescriptor file{openNonBlocking(directoryFd, path)};
    if (file.fd < 0 || !isRegular(file.fd) || piece == 0) return false;
    std::string buffer(piece, '\0');
    std::size_t total = 0;
    while (total < cap) {
        const ssize_t count = ::read(file.fd, buffer.data(), std::min(piece, cap - total));
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (count == 0) return true;
        total += static_cast<std::size_t>(count);
        if (!consume(std::string_view(buffer.data(), static_cast<std::size_t>(count)))) return true;
    }
    // Exactly `cap` bytes are within it: only a byte more makes the file too large.
    char more = 0;
    for (;;) {
        const ssize_t count = ::read(file.fd, &more, 1);
        if (count < 0 && errno == EINTR) continue;
        return count == 0;
    }
}

std::optional<std::string> readOutsideFile(const std::filesystem::path& path, std::size_t cap) {
    return readOutsideFileCheckedAt(AT_FDCWD, path.c_str(), cap).content;
}

std::optional<std::string> readOutsideFileAt(int directoryFd, const char* path, std::size_t cap) {
    return readOutsideFileCheckedAt(directoryFd, path, cap).content;
}

std::string_view trimSpace(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

std::string_view takePiece(std::string_view& text, char separator) {
    const std::size_t end = std::min(text.find(separator), text.size());
    const std::string_view piece = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    return piece;
}

std::optional<std::int64_t> parseSysfsInteger(std::string_view text) {
    text = trimSpace(text);
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
