#include "apppower/application_power_reader.h"

#include <gtest/gtest.h>

#include "fake_process_table.h"

namespace pylonix {
namespace {

using namespace std::string_literals;

using testing_support::FakePowerReading;
using testing_support::FakeProcessTable;

class ApplicationPowerReaderTest : public testing::Test {
protected:
    ApplicationPowerReaderTest() {
        table->processes[100] = {1, kProcBsdInfoSize,
                                 "/Applications/Terminal.app/Contents/MacOS/Terminal",
                                 RusageInfoV6{1000, 4'000'000}};
        table->processes[101] = {100, kProcBsdInfoSize, "/bin/zsh", RusageInfoV6{1001, 1'000}};
        table->processes[200] = {1, kProcBsdInfoSize, "/Applications/Mail.app/Contents/MacOS/Mail",
                                 RusageInfoV6{2000, 7'000}};
        table->processes[300] = {1, kProcBsdInfoSize, "/usr/libexec/agent", RusageInfoV6{3000, 9}};
    }

    ProcessEnergyReading sample() const { return reader.sampleEnergy(applications); }

    std::shared_ptr<FakeProcessTable> table = std::make_shared<FakeProcessTable>();
    std::shared_ptr<FakePowerReading> power = std::make_shared<FakePowerReading>(*table);
    ApplicationPowerReader reader{table, power};
    std::vector<RunningApplicationIdentity> applications = {
        {"/Applications/Terminal.app", "Terminal", {100}},
        {"/Applications/Mail.app", "Mail", {200}},
    };
};

TEST_F(ApplicationPowerReaderTest, ReadsCountersOfAttributedProcessesAndPairsThePowerSample) {
    const std::uint64_t start = table->uptime;
    const ProcessEnergyReading reading = sample();
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

TEST_F(ApplicationPowerReaderTest, PowerSampleOnlyWhenReadWithin100Milliseconds) {
    power->readNanoseconds = 150'000'000;
    const ProcessEnergyReading slow = sample();
    EXPECT_EQ(slow.counters.size(), 3u);
    EXPECT_EQ(slow.powerSample, std::nullopt);

    power->readNanoseconds = 100'000'000;  // exactly the limit still pairs
    EXPECT_TRUE(sample().powerSample);
    power->readNanoseconds = 100'000'001;
    EXPECT_FALSE(sample().powerSample);
}

TEST_F(ApplicationPowerReaderTest, VanishedAndUnreadableProcessesAreKnownButNotCounted) {
    table->processes[101].usage.reset();        // exited between the list and the usage read
    table->processes[200].bsdInfoResult = 100;  // a short record: parent unknown
    table->processes[200].path.reset();
    applications[1].processIDs.insert(250);  // an instance that is not in the table at all
    const ProcessEnergyReading reading = sample();
    EXPECT_FALSE(reading.counters.contains(101));
    EXPECT_FALSE(reading.counters.contains(250));
    EXPECT_TRUE(reading.counters.contains(200));  // its own instance id still maps it
    EXPECT_EQ(reading.knownProcessCounts.at("/Applications/Terminal.app"), 2);
    EXPECT_EQ(reading.knownProcessCounts.at("/Applications/Mail.app"), 2);
    EXPECT_EQ(processEnergyReadingProblem(reading), std::nullopt);
}

TEST_F(ApplicationPowerReaderTest, ShortProcessRecordLosesTheParent) {
    table->processes[101].bsdInfoResult = 135;
    table->processes[101].path = "/bin/zsh";
    const ProcessEnergyReading reading = sample();
    EXPECT_FALSE(reading.counters.contains(101));  // no parent, no bundle: unattributed
    EXPECT_EQ(reading.knownProcessCounts.at("/Applications/Terminal.app"), 1);
}

TEST_F(ApplicationPowerReaderTest, PathsAreDecodedWithReplacementUpToTheFirstZeroByte) {
    applications.push_back({"/Applications/Caf\xC3\xA9.app", "Café", {}});
    applications.push_back({"/Applications/Bad\xEF\xBF\xBD.app", "Bad", {}});  // U+FFFD
    table->processes[400] = {1, kProcBsdInfoSize,
                             "/Applications/Caf\xC3\xA9.app/Contents/MacOS/\xFF\xFEx",
                             RusageInfoV6{4000, 1}};
    table->processes[401] = {1, kProcBsdInfoSize, "/Applications/Bad\xE9.app/Contents/MacOS/Bad",
                             RusageInfoV6{4001, 1}};
    table->processes[402] = {1, kProcBsdInfoSize, "/usr/bin/tool\0/Applications/Mail.app/x"s,
                             RusageInfoV6{4002, 1}};
    table->processes[403] = {1, kProcBsdInfoSize, std::string(5000, 'a'), RusageInfoV6{4003, 1}};
    const ProcessEnergyReading reading = sample();
    ASSERT_TRUE(reading.counters.contains(400));
    EXPECT_EQ(reading.counters.at(400).applicationID, "/Applications/Caf\xC3\xA9.app");
    ASSERT_TRUE(reading.counters.contains(401));
    EXPECT_EQ(reading.counters.at(401).applicationID, "/Applications/Bad\xEF\xBF\xBD.app");
    EXPECT_FALSE(reading.counters.contains(402));  // what follows the zero byte is no path
    EXPECT_FALSE(reading.counters.contains(403));
}

TEST_F(ApplicationPowerReaderTest, ProcessesStartedBetweenSizeQueryAndListStillFit) {
    for (std::int32_t pid = 1000; pid < 1128; ++pid) table->extraListedIds.push_back(pid);
    table->extraListedIds.push_back(-3);  // ids below 1 are skipped
    table->extraListedIds.push_back(0);
    table->processes[101].parent = 100;
    ASSERT_EQ(sample().errorMessage, std::nullopt);
    EXPECT_EQ(table->lastListBufferBytes, static_cast<int>((4 + 128) * sizeof(std::int32_t)));
}

TEST_F(ApplicationPowerReaderTest, ListFailuresFailThePassWithAStampedPowerSample) {
    table->sizeQueryResult = 0;
    const std::uint64_t before = table->uptime;
    ProcessEnergyReading reading = sample();
    EXPECT_EQ(reading.errorMessage, "系统暂不允许读取应用能耗。");
    EXPECT_TRUE(reading.counters.empty());
    EXPECT_TRUE(reading.knownProcessCounts.empty());
    ASSERT_TRUE(reading.powerSample);
    EXPECT_EQ(reading.powerSample->uptimeNanoseconds, before);  // the uptime, then the snapshot
    EXPECT_EQ(processEnergyReadingProblem(reading), std::nullopt);

    table->sizeQueryResult.reset();
    table->listResult = -1;
    EXPECT_EQ(sample().errorMessage, "暂时无法获取正在运行的应用。");
    table->listResult = 0;
    EXPECT_EQ(sample().errorMessage, "暂时无法获取正在运行的应用。");
}

TEST_F(ApplicationPowerReaderTest, NoReadableCounterIsToldApartByTheOwnProcessProbe) {
    for (auto& [pid, process] : table->processes) process.usage.reset();
    EXPECT_EQ(sample().errorMessage, "系统未允许读取其他应用的 CPU 能耗。");
    table->ownUsage.reset();
    EXPECT_EQ(sample().errorMessage, "当前系统不支持读取应用 CPU 能耗。");
}

TEST_F(ApplicationPowerReaderTest, AllZeroEnergyFailsOnlyWhenTheOwnProcessShowsNoneEither) {
    for (auto& [pid, process] : table->processes) process.usage->ri_energy_nj = 0;
    const ProcessEnergyReading carriesOn = sample();  // the own process shows energy
    EXPECT_EQ(carriesOn.errorMessage, std::nullopt);
    EXPECT_EQ(carriesOn.counters.size(), 3u);

    table->ownUsage->ri_energy_nj = 0;
    EXPECT_EQ(sample().errorMessage, "这台电脑暂未提供应用 CPU 能耗数据。");
    table->ownUsage.reset();
    EXPECT_EQ(sample().errorMessage, "这台电脑暂未提供应用 CPU 能耗数据。");
}

TEST_F(ApplicationPowerReaderTest, NoRunningApplications) {
    applications.clear();
    const ProcessEnergyReading reading = sample();
    EXPECT_EQ(reading.errorMessage, std::nullopt);
    EXPECT_TRUE(reading.counters.empty());
    EXPECT_TRUE(reading.powerSample);

    table->ownUsage->ri_energy_nj = 0;
    EXPECT_EQ(sample().errorMessage, "这台电脑暂未提供应用 CPU 能耗数据。");
}

TEST_F(ApplicationPowerReaderTest, SamplePowerTakesTheUptimeFirst) {
    const std::uint64_t before = table->uptime;
    const TimedPowerSample sample = reader.samplePower();
    EXPECT_EQ(sample.uptimeNanoseconds, before);
    EXPECT_EQ(table->uptime, before + power->readNanoseconds);
    EXPECT_EQ(sample.snapshot, power->snapshot);
}

}  // namespace
}  // namespace pylonix
