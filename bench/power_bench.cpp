// One refresh: a full read() from a fixture tree, and the conversion plus estimate alone.
#include <benchmark/benchmark.h>

#include <filesystem>

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

BENCHMARK_MAIN();
