#include "app/terminal/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>

namespace pylonix {
namespace {

// Where the handler writes; set while a SignalPipe exists.
volatile std::sig_atomic_t signalWriteFd = -1;

extern "C" void writeSignalNumber(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a byte that wakes the loop; losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(signalWriteFd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> caught) {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;
    readFd_ = fds[0];
    writeFd_ = fds[1];
    signalWriteFd = writeFd_;
    for (const int signal : caught) {
        struct sigaction action {};
        action.sa_handler = writeSignalNumber;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction old {};
        if (::sigaction(signal, &action, &old) == 0) previous_.emplace_back(signal, old);
    }
}

SignalPipe::~SignalPipe() {
    for (const auto& [signal, old] : previous_) ::sigaction(signal, &old, nullptr);
    signalWriteFd = -1;
    if (readFd_ >= 0) ::close(readFd_);
    if (writeFd_ >= 0) ::close(writeFd_);
}

std::vector<int> SignalPipe::takeSignals() {
    std::vector<int> arrived;
    std::array<unsigned char, 64> bytes{};
    ssize_t count = 0;
    while ((count = ::read(readFd_, bytes.data(), bytes.size())) > 0) {
        arrived.insert(arrived.end(), bytes.begin(), bytes.begin() + count);
    }
    return arrived;
}

}  // namespace pylonix
