#pragma once

// A /proc-like tree of many processes for measuring a sampling pass: a session leader, and
// below it applications in their own scopes, each with a few children, and under xdg/ the
// desktop entries of those applications.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace pylonix::bench {

inline void makeProcFixture(const std::filesystem::path& root, int processes) {
    namespace fs = std::filesystem;
    fs::remove_all(root);
    fs::create_directories(root);
    std::ofstream(root / "stat") << "cpu  1000 10 500 8000 100 0 20 0 0 0\n";
    for (int i = 0; i < processes; ++i) {
        const int pid = 1000 + i;
        const int application = i / 8;  // eight processes per application scope
        const int parent = i % 8 == 0 ? 999 : 1000 + application * 8;
        const fs::path dir = root / std::to_string(pid);
        fs::create_directories(dir);
        std::ofstream(dir / "stat")
            << pid << " (worker " << i << ") S " << parent << " 1 1 0 -1 4194304 100 0 0 0 " << i
            << " " << i / 2 << " 0 0 20 0 1 0 " << 5000 + i << " 1000000 100 0\n";
        std::ofstream(dir / "cgroup")
            << "0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-gnome-bench"
            << application << "-" << pid << ".scope\n";
        std::ofstream(dir / "environ") << "HOME=/home/u" << '\0' << "LANG=C.UTF-8" << '\0';
        fs::create_symlink("/usr/lib/bench/app" + std::to_string(application), dir / "exe");
    }
    fs::create_directories(root / "xdg/applications");
    for (int application = 0; application * 8 < processes; ++application) {
        std::ofstream(root / "xdg/applications" /
                      ("bench" + std::to_string(application) + ".desktop"))
            << "[Desktop Entry]\nType=Application\nName=Bench " << application << "\n";
    }
}

}  // namespace pylonix::bench
