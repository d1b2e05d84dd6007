#include "apppower/application_power_reader.h"

#include <gtest/gtest.h>

#include "recorded_process_source.h"

namespace pylonix {
namespace {

using namespace std::string_literals;

using testing_support::FakePowerReading;
using testing_support::iconName;
using testing_support::ListedApplications;
using testing_support::record;
using testing_support::RecordedProcessSource;

// A terminal with a shell below it, a mail application, and an agent the system started.
class ApplicationPowerReaderTest : public testing::Test {
  protected:
    ApplicationPowerReaderTest() {
        pass.processes = {
            record(100, 1, "/Applications/Terminal.app/Contents/MacOS/Terminal", 1000, 4'000'000),
            record(101, 100, "/bin/zsh", 1001, 1'000),
            record(200, 1, "/Applications/Mail.app/Contents/MacOS/Mail", 2000, 7'000),
            record(300, 1, "/usr/libexec/agent", 3000, 9),
        };
        pass.ownEnergyNanojoules = 5;
        applications->add("/Applications/Terminal.app", 100);
        applications->add("/Applications/Mail.app", 200, false);
    }

    EnergyPass sample(std::set<std::string> cachedIconIds = {}) {
        source->passes.push_back(pass);
        return reader.sampleEnergy(cachedIconIds);
    }
    std::optional<std::string> message() { return sample().reading.errorMessage; }

    ProcessPass pass;
    std::shared_ptr<RecordedProcessSource> source = std::make_shared<RecordedProcessSource>();
    std::shared_ptr<ListedApplications> applications = std::make_shared<ListedApplications>();
    std::shared_ptr<FakePowerReading> power = std::make_shared<FakePowerReading>(*source);
    ApplicationPowerReader reader{source, applications, power};
};

TEST_F(ApplicationPowerReaderTest, OnePassFindsTheApplicationsAndCountsTheirProcesses) {
    const std::uint64_t start = source->uptime;
    const EnergyPass result = sample();
    EXPECT_EQ(source->reads, 1);
    ASSERT_EQ(result.applications.size(), 2u);
    EXPECT_EQ(result.applications[0],
              (RunningApplicationIdentity{"/Applications/Terminal.app", "Terminal.app", {100}}));
    const ProcessEnergyReading& reading = result.reading;
    EXPECT_EQ(reading.errorMessage, std::nullopt);
    ASSERT_EQ(reading.counters.size(), 3u);
    EXPECT_EQ(reading.counters.at(101),
              (ProcessEnergyCounter{101, "/Applications/Terminal.app", 1001, 1'000, start}));
    EXPECT_EQ(reading.counters.at(200).energyNanojoules, 7'000u);
    EXPECT_FALSE(reading.counters.contains(300));  // launched by the system: nobody's
    EXPECT_EQ(reading.knownProcessCounts,
              (std::map<std::string, std::int64_t>{{"/Applications/Mail.app", 1},
                                                   {"/Applications/Terminal.app", 2}}));
    ASSERT_TRUE(reading.powerSample);
    EXPECT_EQ(reading.powerSample->uptimeNanoseconds, start);
    EXPECT_EQ(reading.powerSample->snapshot, power->snapshot);
    EXPECT_EQ(processEnergyReadingProblem(reading), std::nullopt);
}

TEST_F(ApplicationPowerReaderTest, CountersAreStampedWhenThePassWasReadNotAfterTheLookups) {
    const std::uint64_t start = source->uptime;
    // Loading the desktop entries on a first pass takes a while.
    applications->whileListing = [this] { source->uptime += 60'000'000; };
    const ProcessEnergyReading reading = sample().reading;
    ASSERT_TRUE(reading.counters.contains(101));
    EXPECT_EQ(reading.counters.at(101).sampledAt, start);
    ASSERT_TRUE(reading.powerSample);
    EXPECT_EQ(reading.powerSample->uptimeNanoseconds, start);
}

TEST_F(ApplicationPowerReaderTest, IconsOnlyForApplicationsWithoutACachedOne) {
    applications->add("/Applications/Terminal.app", 101);  // a second instance, no lookup
    const EnergyPass first = sample();
    EXPECT_EQ(applications->iconLookups,
              (std::vector<std::string>{"/Applications/Terminal.app", "/Applications/Mail.app"}));
    ASSERT_EQ(first.newIcons.size(), 2u);
    EXPECT_EQ(iconName(first.newIcons.at("/Applications/Terminal.app")),
              "own:/Applications/Terminal.app");
    EXPECT_EQ(iconName(first.newIcons.at("/Applications/Mail.app")),
              "file:/Applications/Mail.app");  // it has none of its own

    applications->iconLookups.clear();
    const EnergyPass next = sample({"/Applications/Terminal.app", "/Applications/Mail.app"});
    EXPECT_TRUE(next.newIcons.empty());
    EXPECT_TRUE(applications->iconLookups.empty());
}

TEST_F(ApplicationPowerReaderTest, PowerSampleOnlyWhenReadWithin100Milliseconds) {
    power->readNanoseconds = 150'000'000;
    const ProcessEnergyReading slow = sample().reading;
    EXPECT_EQ(slow.counters.size(), 3u);
    EXPECT_EQ(slow.powerSample, std::nullopt);

    power->readNanoseconds = 100'000'000;  // exactly the limit still pairs
    EXPECT_TRUE(sample().reading.powerSample);
    power->readNanoseconds = 100'000'001;
    EXPECT_FALSE(sample().reading.powerSample);
}

TEST_F(ApplicationPowerReaderTest, VanishedAndUnreadableProcessesAreKnownButNotCounted) {
    pass.processes[1].energyNanojoules.reset();  // its counter could not be read
    const std::vector<RunningApplicationIdentity> listed = {
        {"/Applications/Terminal.app", "Terminal", {100}},
        {"/Applications/Mail.app", "Mail", {200, 250}},  // 250 is not in the pass
    };
    const ProcessEnergyReading reading = reader.readEnergy(pass, listed, source->uptime);
    EXPECT_FALSE(reading.counters.contains(101));
    EXPECT_FALSE(reading.counters.contains(250));
    EXPECT_TRUE(reading.counters.contains(200));
    EXPECT_EQ(reading.knownProcessCounts.at("/Applications/Terminal.app"), 2);
    EXPECT_EQ(reading.knownProcessCounts.at("/Applications/Mail.app"), 2);
    EXPECT_EQ(processEnergyReadingProblem(reading), std::nullopt);
}

TEST_F(ApplicationPowerReaderTest, ListFailuresFailThePassWithAStampedPowerSample) {
    source->passes.push_back(ProcessListFailure::notPermitted);
    const std::uint64_t before = source->uptime;
    const EnergyPass failed = reader.sampleEnergy({});
    EXPECT_TRUE(failed.applications.empty());
    EXPECT_TRUE(failed.newIcons.empty());
    const ProcessEnergyReading& reading = failed.reading;
    EXPECT_EQ(reading.errorMessage, "系统暂不允许读取应用能耗。");
    EXPECT_TRUE(reading.counters.empty());
    EXPECT_TRUE(reading.knownProcessCounts.empty());
    ASSERT_TRUE(reading.powerSample);
    EXPECT_EQ(reading.powerSample->uptimeNanoseconds, before);  // the uptime, then the snapshot
    EXPECT_EQ(processEnergyReadingProblem(reading), std::nullopt);

    source->passes.push_back(ProcessListFailure::unreadable);
    EXPECT_EQ(reader.sampleEnergy({}).reading.errorMessage, "暂时无法获取正在运行的应用。");
}

TEST_F(ApplicationPowerReaderTest, NoReadableCounterIsToldApartByTheOwnProcess) {
    for (ProcessRecord& process : pass.processes) process.energyNanojoules.reset();
    EXPECT_EQ(message(), "系统未允许读取其他应用的 CPU 能耗。");
    pass.ownEnergyNanojoules.reset();
    EXPECT_EQ(message(), "当前系统不支持读取应用 CPU 能耗。");
}

TEST_F(ApplicationPowerReaderTest, AllZeroEnergyFailsOnlyWhenTheOwnProcessShowsNoneEither) {
    for (ProcessRecord& process : pass.processes) process.energyNanojoules = 0;
    const ProcessEnergyReading carriesOn = sample().reading;  // the own process shows energy
    EXPECT_EQ(carriesOn.errorMessage, std::nullopt);
    EXPECT_EQ(carriesOn.counters.size(), 3u);

    pass.ownEnergyNanojoules = 0;
    EXPECT_EQ(message(), "这台电脑暂未提供应用 CPU 能耗数据。");
    pass.ownEnergyNanojoules.reset();
    EXPECT_EQ(message(), "这台电脑暂未提供应用 CPU 能耗数据。");
}

TEST_F(ApplicationPowerReaderTest, NoRunningApplications) {
    applications->byPid.clear();
    const ProcessEnergyReading reading = sample().reading;
    EXPECT_EQ(reading.errorMessage, std::nullopt);
    EXPECT_TRUE(reading.counters.empty());
    EXPECT_TRUE(reading.powerSample);

    pass.ownEnergyNanojoules = 0;
    EXPECT_EQ(message(), "这台电脑暂未提供应用 CPU 能耗数据。");
}

TEST_F(ApplicationPowerReaderTest, SamplePowerTakesTheUptimeFirst) {
    const std::uint64_t before = source->uptime;
    const TimedPowerSample sample = reader.samplePower();
    EXPECT_EQ(sample.uptimeNanoseconds, before);
    EXPECT_EQ(source->uptime, before + power->readNanoseconds);
    EXPECT_EQ(sample.snapshot, power->snapshot);
    EXPECT_EQ(source->reads, 0);
}

TEST(DecodeExecutablePathTest, ReplacesInvalidBytesAndStopsAtTheFirstZeroByte) {
    EXPECT_EQ(decodeExecutablePath("/Applications/Caf\xC3\xA9.app/x"),
              "/Applications/Caf\xC3\xA9.app/x");
    EXPECT_EQ(decodeExecutablePath("/Applications/Bad\xE9.app/Bad"),
              "/Applications/Bad\xEF\xBF\xBD.app/Bad");
    EXPECT_EQ(decodeExecutablePath("/usr/bin/tool\0/Applications/Mail.app/x"s), "/usr/bin/tool");
    EXPECT_EQ(decodeExecutablePath(""), "");
}

}  // namespace
}  // namespace pylonix
