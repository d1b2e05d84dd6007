#include "app/terminal/terminal_session.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "app/terminal/screen_update.h"

namespace pylonix {
namespace {

// Alternate screen on, cursor hidden, no wrapping at the right edge.
constexpr std::string_view kEnterScreen = "\x1b[?1049h\x1b[?25l\x1b[?7l\x1b[H\x1b[2J";
// Colours off, wrapping and cursor back, normal screen with what it showed before.
constexpr std::string_view kLeaveScreen = "\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l";

winsize windowSize(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        size.ws_col = 80;
        size.ws_row = 24;
    }
    return size;
}

}  // namespace

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

TerminalSession::TerminalSession(int input, int output, bool readsKeys, bool drawsInPlace)
    : input_(input), output_(output), drawsInPlace_(drawsInPlace) {
    termios modes{};
    if (readsKeys && ::tcgetattr(input_, &modes) == 0) {
        savedInput_ = modes;
        modes.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
        modes.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL);
        modes.c_cc[VMIN] = 1;
        modes.c_cc[VTIME] = 0;
        ::tcsetattr(input_, TCSANOW, &modes);
    }
    if (drawsInPlace_) {
        writeAll(output_, kEnterScreen);
        cleared_ = true;
    }
}

TerminalSession::~TerminalSession() {
    if (drawsInPlace_) writeAll(output_, kLeaveScreen);
    if (savedInput_) ::tcsetattr(input_, TCSANOW, &*savedInput_);
}

int TerminalSession::columns() const {
    return windowSize(output_).ws_col;
}

int TerminalSession::rows() const {
    return windowSize(output_).ws_row;
}

bool TerminalSession::draw(const std::vector<std::string>& lines) {
    std::string update = cleared_ ? std::string() : std::string("\x1b[H\x1b[2J");
    if (!cleared_) shown_.clear();
    update += screenUpdate(shown_, lines);
    cleared_ = true;
    shown_ = lines;
    return writeAll(output_, update);
}

void TerminalSession::invalidate() {
    cleared_ = false;
}

}  // namespace pylonix
