#pragma once

#include <termios.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pylonix {

// Writes all of `text` to `fd`, resuming after interruptions; false when the file refuses it.
bool writeAll(int fd, std::string_view text);

// The terminal while the live view owns it. With `readsKeys`, the input terminal gives every
// key at once, without echo and without turning Ctrl-C into a signal (the view reads it as a
// key). With `drawsInPlace`, the output shows the alternate screen without cursor or line
// wrapping, and `draw` rewrites the lines that changed. Destroying the session puts back the
// input modes it found and the normal screen.
class TerminalSession {
  public:
    TerminalSession(int input, int output, bool readsKeys, bool drawsInPlace);
    ~TerminalSession();
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // The output terminal's size; 80 × 24 when it does not say.
    int columns() const;
    int rows() const;

    // Shows `lines` (rendered, each no wider than the terminal) from the top; false when the
    // output refuses it.
    bool draw(const std::vector<std::string>& lines);
    // The screen's content is unknown (after a resize): the next draw clears it and draws all.
    void invalidate();

  private:
    int input_;
    int output_;
    std::optional<termios> savedInput_;
    bool drawsInPlace_;
    bool cleared_ = false;
    std::vector<std::string> shown_;
};

}  // namespace pylonix
