#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pylonix::linux_platform {

// Why a file could not be read.
enum class OutsideFileError {
    unavailable,   // missing, or the read failed
    notPermitted,  // the open was refused for want of permission (EACCES, EPERM)
    notRegular,    // a FIFO, a device, a socket or a directory: never read, so never waited on
    tooLarge,      // more than the cap: refused whole, never parsed cut short
};

struct OutsideFileResult {
    std::optional<std::string> content;
    OutsideFileError error = OutsideFileError::unavailable;  // meaningful without content only
};

// The one way this program reads a small file it does not own (sysfs, procfs, desktop entries,
// the autostart entry). The file is opened non-blocking, so a FIFO or a stuck device cannot hold
// the caller; anything that is not a regular file is refused after the open; at most `cap`
// bytes are read, and a file with more is refused as too large. Kernel attribute files are at
// most a page, hence the default.
OutsideFileResult readOutsideFileChecked(const std::filesystem::path& path, std::size_t cap = 4096);
OutsideFileResult readOutsideFileCheckedAt(int directoryFd, const char* path,
                                           std::size_t cap = 4096);

// The same, without saying why: the content or nothing.
std::optional<std::string> readOutsideFile(const std::filesystem::path& path,
                                           std::size_t cap = 4096);

// The same for a path relative to an open directory (`AT_FDCWD`: the working directory), which
// spares the kernel the walk from the root.
std::optional<std::string> readOutsideFileAt(int directoryFd, const char* path,
                                             std::size_t cap = 4096);

// Reads again a file this program already found regular through the readers above and reads
// often (a process's stat file, every pass): the same non-blocking open and cap, without the
// status call. Only for files whose kind cannot change while they exist (procfs).
std::optional<std::string> rereadOutsideFileAt(int directoryFd, const char* path,
                                               std::size_t cap = 4096);

// An outside file kept open to be read again and again from its start (a process's stat file,
// read every pass, which spares the open and the close each time): opened the same safe way
// (non-blocking, regular files only); each read takes at most `cap` bytes and refuses a file
// with more. Closed when destroyed.
class KeptOutsideFile {
  public:
    KeptOutsideFile() = default;
    static KeptOutsideFile open(int directoryFd, const char* path);
    KeptOutsideFile(KeptOutsideFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    KeptOutsideFile& operator=(KeptOutsideFile&& other) noexcept;
    KeptOutsideFile(const KeptOutsideFile&) = delete;
    KeptOutsideFile& operator=(const KeptOutsideFile&) = delete;
    ~KeptOutsideFile();

    bool isOpen() const { return fd_ >= 0; }
    std::optional<std::string> read(std::size_t cap = 4096) const;

  private:
    int fd_ = -1;
};

// Reads a file the same safe way without ever holding more than `piece` bytes of it: each
// piece goes to `consume`, which returns false once it has what it needs. True when the file
// was read to its end or `consume` stopped; false when it cannot be read, is not a regular
// file, or holds more than `cap` bytes (what came before the cap was still consumed).
bool readOutsideFileInPiecesAt(int directoryFd, const char* path, std::size_t cap,
                               std::size_t piece,
                               const std::function<bool(std::string_view)>& consume);

// The text without surrounding white space (kernel files end in a newline).
std::string_view trimSpace(std::string_view text);

// Takes the text up to the next `separator` (all of it when there is none) off the front of
// `text` and returns it, without the separator: a file's lines, a command line's arguments.
std::string_view takePiece(std::string_view& text, char separator);

// A whole decimal integer, optionally signed; nothing for empty text, garbage, trailing
// characters or values out of range.
std::optional<std::int64_t> parseSysfsInteger(std::string_view text);

}  // namespace pylonix::linux_platform
