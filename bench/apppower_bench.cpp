// Attribution over large process tables, and the per-application computation and balance of one
// sampling pass.
#include <benchmark/benchmark.h>

#include "apppower/attribute_processes.h"
#include "apppower/make_application_power_snapshot.h"
#include "apppower/power_balance.h"

namespace {

using namespace pylonix;

constexpr int kApplications = 20;

// `processes` processes of the user: each application's main process heads a chain of
// descendants 1/(2 × kApplications) of the table deep, another such chain hangs under a process
// of another user, and a few processes live inside application bundles.
struct ProcessTableFixture {
    explicit ProcessTableFixture(int processes) {
        const int chain = processes / (2 * kApplications);
        std::int32_t pid = 1000;
        for (int a = 0; a < kApplications; ++a) {
            const std::string id = "/Applications/App " + std::to_string(a) + ".app";
            const std::int32_t main = pid++;
            applications.push_back({id, "App " + std::to_string(a), {main}});
            metadata[main] = {main, 1, id + "/Contents/MacOS/App"};
            std::int32_t parent = main;
            for (int depth = 1; depth < chain; ++depth, parent = pid++) {
                metadata[pid] = {pid, parent, std::nullopt};
            }
            parent = 2;  // a process of another user
            for (int depth = 0; depth < chain; ++depth, parent = pid++) {
                const bool inBundle = depth % 97 == 5;
                metadata[pid] = {
                    pid, parent,
                    inBundle ? std::optional(id + "/Contents/XPCServices/W.xpc/W") : std::nullopt};
            }
        }
    }

    std::vector<RunningApplicationIdentity> applications;
    ProcessMetadataTable metadata;
};

void BM_AttributeProcesses(benchmark::State& state) {
    const ProcessTableFixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(attributeProcesses(fixture.applications, fixture.metadata));
    }
    state.SetItemsProcessed(state.iterations() *
                            static_cast<std::int64_t>(fixture.metadata.size()));
}
BENCHMARK(BM_AttributeProcesses)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

// 300 applications with 10 processes each, two passes 2 s apart, and the five power samples of
// the window between them.
struct PassFixture {
    static constexpr std::uint64_t kStart = 100'000'000'000;
    static constexpr std::uint64_t kPass = 2'000'000'000;

    PassFixture() {
        ProcessEnergyReading previous;
        for (int a = 0; a < 300; ++a) {
            const std::string id = "/Applications/Application " + std::to_string(a) + ".app";
            RunningApplicationIdentity identity{id, "Application " + std::to_string(a % 150), {}};
            for (int p = 0; p < 10; ++p) {
                const std::int32_t pid = 1000 + a * 10 + p;
                identity.processIDs.insert(pid);
                const auto energy = static_cast<std::uint64_t>(pid) * 1'000'000;
                previous.counters[pid] = {pid, id, 7, energy, kStart};
                // Every fifth application draws nothing, so equal watts meet the name order.
                const std::uint64_t spent =
                    a % 5 == 0 ? 0 : static_cast<std::uint64_t>(p) * 3'000'000;
                reading.counters[pid] = {pid, id, 7, energy + spent, kStart + kPass};
            }
            previous.knownProcessCounts[id] = 10;
            reading.knownProcessCounts[id] = 10;
            applications.push_back(std::move(identity));
        }
        for (std::uint64_t i = 0; i <= 4; ++i) {
            TimedPowerSample sample;
            sample.uptimeNanoseconds = kStart + i * kPass / 4;
            sample.snapshot.systemPower.watts = 400.0 + static_cast<double>(i);
            sample.snapshot.systemPower.source = SystemPowerReading::Source::batteryDischarge;
            samples.push_back(sample);
        }
        previous.powerSample = samples.front();
        reading.powerSample = samples.back();
        makeApplicationPowerSnapshot(previous, applications, baseline);
        EnergyBaseline scratch = baseline;
        snapshot = makeApplicationPowerSnapshot(reading, applications, scratch);
    }

    std::vector<RunningApplicationIdentity> applications;
    ProcessEnergyReading reading;
    EnergyBaseline baseline;
    std::vector<TimedPowerSample> samples;
    ApplicationPowerSnapshot snapshot;
};

// The computation of one pass, and with `kWithBalance` the balance after it: what the monitor
// does with one pass's results.
template <bool kWithBalance>
void BM_Pass(benchmark::State& state) {
    const PassFixture fixture;
    // The monitor keeps its baseline from pass to pass: reset it outside the timing, and keep
    // its destruction out too.
    EnergyBaseline baseline;
    for (auto _ : state) {
        state.PauseTiming();
        baseline = fixture.baseline;
        state.ResumeTiming();
        ApplicationPowerSnapshot snapshot =
            makeApplicationPowerSnapshot(fixture.reading, fixture.applications, baseline);
        if constexpr (kWithBalance) snapshot.balance = makePowerBalance(fixture.samples, snapshot);
        benchmark::DoNotOptimize(snapshot);
    }
}
BENCHMARK(BM_Pass<false>)->Name("BM_MakeApplicationPowerSnapshot")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pass<true>)->Name("BM_ComputationAndBalance")->Unit(benchmark::kMicrosecond);

void BM_MakePowerBalance(benchmark::State& state) {
    const PassFixture fixture;
    for (auto _ : state) {
        benchmark::DoNotOptimize(makePowerBalance(fixture.samples, fixture.snapshot));
    }
}
BENCHMARK(BM_MakePowerBalance)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
