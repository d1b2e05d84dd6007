// Which desktop entry a process is: building the matcher over a catalogue of 300 entries (the
// file system calls of program lookup and links), and matching 500 processes with it, beside
// the executable-only lookup it replaces (one hash lookup per process).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <fstream>
#include <unordered_map>

#include "platform/linux/applications/desktop_entry_matcher.h"

namespace {

using namespace pylonix::linux_platform;
namespace fs = std::filesystem;

// 300 entries as a full desktop installs them: 240 programs of their own (a third behind a
// link in /usr/bin), 20 interpreter scripts, 20 entries sharing 5 wrappers, 20 web apps.
struct Desktop {
    fs::path root =
        fs::temp_directory_path() / ("pylonix_bench_entries_" + std::to_string(::getpid()));
    std::vector<CatalogueEntry> entries;
    std::vector<std::pair<std::string, std::vector<std::string>>> processes;
    std::vector<fs::path> searchPath{"/usr/local/bin", "/usr/bin"};

    void program(const std::string& path) const {
        fs::create_directories((root / path.substr(1)).parent_path());
        std::ofstream(root / path.substr(1)) << "#!/bin/sh\n";
        fs::permissions(root / path.substr(1), fs::perms(0755));
    }
    void entry(const std::string& id, const std::string& exec) {
        auto parsed = parseDesktopEntry(
            "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=" + exec + "\n", "C");
        entries.push_back({"/usr/share/applications/" + id + ".desktop", id, std::move(*parsed)});
    }

    Desktop() {
        program("/usr/bin/python3.11");
        fs::create_symlink("python3.11", root / "usr/bin/python3");
        program("/usr/lib/chromium/chromium");
        fs::create_symlink("../lib/chromium/chromium", root / "usr/bin/chromium");
        for (int i = 0; i < 240; ++i) {
            const std::string name = "app" + std::to_string(i);
            if (i % 3 == 0) {
                program("/usr/lib/" + name + "/" + name);
                fs::create_symlink("../lib/" + name + "/" + name, root / "usr/bin" / name);
            } else {
                program("/usr/bin/" + name);
            }
            entry(name, name + " %U");
        }
        for (int i = 0; i < 20; ++i) {
            entry("script" + std::to_string(i),
                  "python3 /opt/script" + std::to_string(i) + "/main.py");
        }
        for (int i = 0; i < 5; ++i) program("/usr/bin/suite" + std::to_string(i));
        for (int i = 0; i < 20; ++i) {
            entry("suite-part" + std::to_string(i),
                  "suite" + std::to_string(i % 5) + " --part" + std::to_string(i) + " %U");
        }
        entry("chromium", "chromium %U");
        for (int i = 0; i < 19; ++i) {
            entry("chrome-app" + std::to_string(i),
                  "/usr/bin/chromium --profile-directory=Default --app-id=app" + std::to_string(i));
        }
        // 500 processes: programs of their own, renderers, python scripts, shells and the rest.
        for (int i = 0; i < 500; ++i) {
            const std::string n = std::to_string(i % 240);
            switch (i % 5) {
                case 0:
                    processes.push_back({"/usr/lib/app" + std::to_string(i % 80 * 3) + "/app" +
                                             std::to_string(i % 80 * 3),
                                         {"app", "--type=renderer"}});
                    break;
                case 1:
                    processes.push_back({"/usr/bin/app" + std::to_string(i % 80 * 3 + 1), {}});
                    break;
                case 2:
                    processes.push_back({"/usr/lib/chromium/chromium",
                                         {"/usr/lib/chromium/chromium", "--type=renderer",
                                          "--lang=zh-CN", "--num-raster-threads=2"}});
                    break;
                case 3:
                    processes.push_back(
                        {"/usr/bin/python3.11",
                         {"python3", "/opt/script" + std::to_string(i % 20) + "/main.py"}});
                    break;
                default:
                    processes.push_back({"/usr/bin/bash", {"bash"}});
            }
        }
    }
    ~Desktop() { fs::remove_all(root); }
};

Desktop& desktop() {
    static Desktop instance;
    return instance;
}

void buildMatcher(benchmark::State& state) {
    Desktop& d = desktop();
    for (auto _ : state)
        benchmark::DoNotOptimize(DesktopEntryMatcher(d.entries, d.searchPath, d.root));
    state.counters["entries"] = static_cast<double>(d.entries.size());
}
BENCHMARK(buildMatcher)->Unit(benchmark::kMicrosecond);

void perProcess(benchmark::State& state, std::size_t processes) {
    state.counters["per_process"] =
        benchmark::Counter(static_cast<double>(processes * state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void matchProcesses(benchmark::State& state) {
    Desktop& d = desktop();
    const DesktopEntryMatcher matcher(d.entries, d.searchPath, d.root);
    std::size_t commandLines = 0;
    for (auto _ : state) {
        commandLines = 0;
        for (const auto& [executable, commandLine] : d.processes) {
            const bool needed = matcher.needsCommandLine(executable);
            commandLines += needed ? 1 : 0;
            benchmark::DoNotOptimize(
                matcher.match(executable, needed ? commandLine : std::vector<std::string>{}));
        }
    }
    perProcess(state, d.processes.size());
    state.counters["command_lines_needed"] = static_cast<double>(commandLines);
}
BENCHMARK(matchProcesses)->Unit(benchmark::kMicrosecond);

// The executable-only rule: one lookup of the real path per process.
void executableOnly(benchmark::State& state) {
    Desktop& d = desktop();
    std::unordered_map<std::string, std::size_t> byExecutable;
    for (std::size_t i = 0; i < d.entries.size(); ++i) {
        byExecutable.emplace("/usr/bin/" + d.entries[i].desktopId, i);
    }
    for (auto _ : state) {
        for (const auto& [executable, commandLine] : d.processes) {
            benchmark::DoNotOptimize(byExecutable.find(executable));
        }
    }
    perProcess(state, d.processes.size());
}
BENCHMARK(executableOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
