// One sampling pass: the energy pass over this machine's real /proc and over fixture tables
// of 500 and 2,000 processes, and the running-application list over the same tables.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>

#include "apppower/application_power_reader.h"
#include "apppower/running_application_identities.h"
#include "platform/linux/applications/desktop_running_applications.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/processes/proc_process_table.h"
#include "proc_fixture.h"

namespace {

using namespace pylonix;
namespace fs = std::filesystem;

std::vector<fs::path> generated;

fs::path fixtureRoot(int processes) {
    const fs::path root = fs::temp_directory_path() /
                          ("pylonix_bench_proc_" + std::to_string(processes) + "_" +
                           std::to_string(::getpid()));
    if (!fs::exists(root / "stat")) {
        bench::makeProcFixture(root, processes);
        generated.push_back(root);
    }
    return root;
}

// The worst case: every process of the user is attributed, so every counter is read.
void energyPass(benchmark::State& state, const fs::path& procRoot) {
    const auto table = std::make_shared<linux_platform::ProcProcessTable>(procRoot);
    const ApplicationPowerReader reader(table,
                                        linux_platform::makePlatformPowerReader("/nonexistent"));
    const int bytes = table->listPidsByUser(table->getuid(), nullptr, 0);
    std::vector<std::int32_t> pids(static_cast<std::size_t>(std::max(bytes, 0)) / 4);
    table->listPidsByUser(table->getuid(), pids.data(), bytes);
    RunningApplicationIdentity everything{"/bench.desktop", "Bench", {}};
    everything.processIDs.insert(pids.begin(), pids.end());
    for (auto _ : state) benchmark::DoNotOptimize(reader.sampleEnergy({everything}));
    const auto processes = static_cast<double>(pids.size());
    state.counters["processes"] = processes;
    // Seconds of wall time per process, printed with an SI prefix ("1.2u" is 1.2 µs).
    state.counters["per_process"] =
        benchmark::Counter(processes * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void energyPassRealProc(benchmark::State& state) { energyPass(state, "/proc"); }
BENCHMARK(energyPassRealProc)->Unit(benchmark::kMicrosecond);

void energyPassFixture(benchmark::State& state) {
    energyPass(state, fixtureRoot(static_cast<int>(state.range(0))));
}
BENCHMARK(energyPassFixture)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

void runningApplicationsFixture(benchmark::State& state) {
    const fs::path root = fixtureRoot(static_cast<int>(state.range(0)));
    const fs::path xdg = root / "xdg";
    fs::create_directories(xdg / "applications");
    for (int i = 0; i < 64; ++i) {
        std::ofstream(xdg / "applications" / ("bench" + std::to_string(i) + ".desktop"))
            << "[Desktop Entry]\nType=Application\nName=Bench " << i << "\n";
    }
    linux_platform::DesktopRunningApplications running(root, {xdg, {}, {}, "C"}, ::geteuid());
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            runningApplicationIdentities(running.list(), linux_platform::desktopApplicationId));
    }
}
BENCHMARK(runningApplicationsFixture)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const fs::path& root : generated) fs::remove_all(root);
    return 0;
}
