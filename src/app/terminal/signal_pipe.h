#pragma once

#include <csignal>
#include <initializer_list>
#include <vector>

namespace pylonix {

// Turns signals into bytes on a pipe that the event loop watches: the handler only writes the
// signal's number (async-signal-safe), the loop reads and acts on it. One at a time per
// process; the previous handlers come back when it is destroyed.
class SignalPipe {
  public:
    explicit SignalPipe(std::initializer_list<int> caught);
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // Readable whenever a signal arrived; -1 when the pipe could not be made.
    int readDescriptor() const { return readFd_; }

    // The signals that arrived since the last call, in order.
    std::vector<int> takeSignals();

  private:
    int readFd_ = -1;
    int writeFd_ = -1;
    std::vector<std::pair<int, struct sigaction>> previous_;
};

}  // namespace pylonix
