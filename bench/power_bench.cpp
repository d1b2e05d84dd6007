// One refresh: a full read() from a fixture tree, and the conversion plus estimate alone.
// `power_bench --reads N MACHINE` makes N reads of a fixture and nothing else, so that a
// system-call count of it minus one of `--reads 0` is the reads' own.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/battery/sysfs_power_reader.h"
#include "power/make_snapshot.h"

namespace {

using namespace pylonix;

std::filesystem::path fixture(const char* machine) {
    return std::filesystem::path(PYLONIX_FIXTURES_DIR) / "power_supply" / machine;
}

void fullRead(benchmark::State& state, const char* machine) {
    const auto reader = linux_platform::makePlatformPowerReader(fixture(machine));
    for (auto _ : state) benchmark::DoNotOptimize(reader->read());
}
BENCHMARK_CAPTURE(fullRead, thinkpad_discharging, "thinkpad_discharging");
BENCHMARK_CAPTURE(fullRead, dell_charging, "dell_charging");
BENCHMARK_CAPTURE(fullRead, thinkpad_two_batteries, "thinkpad_two_batteries");

void makeSnapshotAndEstimate(benchmark::State& state) {
    const auto record = linux_platform::SysfsPowerReader(fixture("dell_charging")).readProperties();
    const BatteryProperties& properties = *record.properties;
    const WallClockTime now = wallClockNow();
    for (auto _ : state) benchmark::DoNotOptimize(makeSnapshot(properties, now));
}
BENCHMARK(makeSnapshotAndEstimate);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--reads") {
        const auto reader = pylonix::linux_platform::makePlatformPowerReader(fixture(argv[3]));
        for (long reads = std::atol(argv[2]); reads > 0; --reads) {
            benchmark::DoNotOptimize(reader->read());
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
