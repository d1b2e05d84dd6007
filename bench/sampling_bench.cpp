// One steady sampling pass (every pass after the first): the /proc scan, the running
// applications found in it and the energy counters, over this machine's real /proc and over
// fixture tables of 500 and 2,000 processes in which every process belongs to an application.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <fstream>

#include "apppower/application_power_reader.h"
#include "platform/linux/applications/iconless_application_source.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/processes/proc_process_source.h"
#include "proc_fixture.h"

namespace {

using namespace pylonix;
namespace fs = std::filesystem;

std::vector<fs::path> generated;

fs::path fixtureRoot(int processes) {
    const fs::path root =
        fs::temp_directory_path() /
        ("pylonix_bench_proc_" + std::to_string(processes) + "_" + std::to_string(::getpid()));
    if (!fs::exists(root / "stat")) {
        bench::makeProcFixture(root, processes);
        generated.push_back(root);
    }
    return root;
}

void steadyPass(benchmark::State& state, const fs::path& procRoot,
                linux_platform::DesktopEntryLocations locations) {
    const auto source = std::make_shared<linux_platform::ProcProcessSource>(procRoot);
    ApplicationPowerReader reader(
        source, std::make_shared<linux_platform::IconlessApplicationSource>(std::move(locations)),
        linux_platform::makePlatformPowerReader("/nonexistent"));
    const EnergyPass first = reader.sampleEnergy({});  // the first sight of every process
    std::set<std::string> icons;
    for (const auto& item : first.newIcons) icons.insert(item.first);
    std::size_t instances = 0;  // processes that are an application's own
    for (auto _ : state) {
        const EnergyPass pass = reader.sampleEnergy(icons);
        instances = 0;
        for (const RunningApplicationIdentity& application : pass.applications) {
            instances += application.processIDs.size();
        }
        benchmark::DoNotOptimize(pass);
    }
    state.counters["processes"] = static_cast<double>(source->knownProcessCount());
    state.counters["instances"] = static_cast<double>(instances);
}

void steadyPassRealProc(benchmark::State& state) {
    steadyPass(state, "/proc", linux_platform::DesktopEntryLocations::fromEnvironment());
}
BENCHMARK(steadyPassRealProc)->Unit(benchmark::kMillisecond);

void steadyPassFixture(benchmark::State& state) {
    const fs::path root = fixtureRoot(static_cast<int>(state.range(0)));
    steadyPass(state, root, {root / "xdg", {}, {}, "C"});
}
BENCHMARK(steadyPassFixture)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const fs::path& root : generated) fs::remove_all(root);
    return 0;
}
