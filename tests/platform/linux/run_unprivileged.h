#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace pylonix::linux_platform {

// Runs `operation` in a child process as the unprivileged user `nobody` when the tests run as
// root (who reads and writes regardless of permissions), else in this process; returns what it
// returned. Lets permission failures be tested for real whoever runs the tests.
inline std::string runUnprivileged(const std::function<std::string()>& operation) {
    if (geteuid() != 0) return operation();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::string result = "could not drop privileges";
        if (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0) {
            result = operation();
        }
        (void)!write(pipeEnds[1], result.data(), result.size());
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return result;
}

}  // namespace pylonix::linux_platform
