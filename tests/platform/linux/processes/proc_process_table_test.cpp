#include "platform/linux/processes/proc_process_table.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>

#include "apppower/application_power_reader.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "run_unprivileged.h"

extern char** environ;

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::int32_t> listPids(const ProcessTable& table) {
    const int needed = table.listPidsByUser(table.getuid(), nullptr, 0);
    if (needed <= 0) return {};
    std::vector<std::int32_t> pids(static_cast<std::size_t>(needed) / 4 + 8);
    const int filled =
        table.listPidsByUser(table.getuid(), pids.data(), static_cast<int>(pids.size() * 4));
    pids.resize(filled > 0 ? static_cast<std::size_t>(filled) / 4 : 0);
    return pids;
}

// The fixture process table and a one-package powercap tree, copied so they can change.
class ProcProcessTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("pylonix_table_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "powercap/intel-rapl:0");
        fs::copy(fs::path(PYLONIX_FIXTURES_DIR) / "proc_table", root_ / "proc",
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        write("powercap/intel-rapl:0/name", "package-0");
        write("powercap/intel-rapl:0/max_energy_range_uj", "262143328850");
        write("powercap/intel-rapl:0/energy_uj", "1000000");
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const std::string& file, const std::string& text) {
        std::ofstream(root_ / file) << text << "\n";
    }
    // Rewrites a fixture process's stat with new CPU times.
    void setCpu(std::int32_t pid, int utime, int parent = 900) {
        const std::string id = std::to_string(pid);
        write("proc/" + id + "/stat", id + " (p) S " + std::to_string(parent) +
                                          " 1 1 0 -1 0 0 0 0 0 " +
                                          std::to_string(utime) + " 0 0 0 20 0 1 0 " +
                                          std::to_string(pid * 2) + " 0 0");
    }

    ProcProcessTable table() const { return ProcProcessTable(root_ / "proc", root_ / "powercap"); }
    fs::path root_;
};

TEST_F(ProcProcessTableTest, AnswersFromOnePassAndSkipsWhatIsGone) {
    const ProcProcessTable procTable = table();
    std::vector<std::int32_t> pids = listPids(procTable);
    std::sort(pids.begin(), pids.end());
    EXPECT_EQ(pids, (std::vector<std::int32_t>{900, 1200, 1210, 1300, 1400, 1500, 1600, 1700,
                                               1800}));

    // Removing the files after the listing changes nothing for this pass.
    fs::remove_all(root_ / "proc/1300");
    ProcBsdInfo info{};
    EXPECT_EQ(procTable.pidBsdInfo(1300, info), kProcBsdInfoSize);
    EXPECT_EQ(info.pbi_ppid, 900u);
    std::array<char, kProcPidPathBufferSize> path{};
    EXPECT_GT(procTable.pidPath(1300, path.data(), path.size()), 0);
    EXPECT_STREQ(path.data(), "/usr/lib/firefox-esr/firefox-esr");
    EXPECT_EQ(procTable.pidPath(1700, path.data(), path.size()), 0);  // no exe link
    RusageInfoV6 usage{};
    EXPECT_EQ(procTable.pidRusage(1300, usage), 0);
    EXPECT_EQ(usage.ri_proc_start_abstime, 3000u);

    // The next pass no longer has it; nor can it be read on its own.
    listPids(procTable);
    EXPECT_EQ(procTable.pidBsdInfo(1300, info), 0);
    EXPECT_NE(procTable.pidRusage(1300, usage), 0);
    // A short path buffer gets a cut, terminated path.
    std::array<char, 8> shortPath{};
    EXPECT_EQ(procTable.pidPath(1200, shortPath.data(), shortPath.size()), 7);
    EXPECT_STREQ(shortPath.data(), "/usr/li");
}

TEST_F(ProcProcessTableTest, CountersSplitTheProcessorsEnergyByCpuTime) {
    setCpu(1200, 100);
    setCpu(1300, 100);
    const ProcProcessTable procTable = table();  // polls once when made
    EXPECT_TRUE(procTable.energyReadable());
    // 200 ticks of machine time pass; 1200 uses 50 of them, 1300 100; 4 J are used.
    write("proc/stat", "cpu  1100 10 500 8100 100 0 20 0 0 0");
    setCpu(1200, 150);
    setCpu(1300, 200);
    write("powercap/intel-rapl:0/energy_uj", "5000000");
    listPids(procTable);
    RusageInfoV6 terminal{}, web{};
    ASSERT_EQ(procTable.pidRusage(1200, terminal), 0);
    ASSERT_EQ(procTable.pidRusage(1300, web), 0);
    EXPECT_EQ(terminal.ri_energy_nj, 1'000'000'000u);
    EXPECT_EQ(web.ri_energy_nj, 2'000'000'000u);

    // The energy file becomes root-only (here: unreadable): counters stop growing.
    write("powercap/intel-rapl:0/energy_uj", "garbage");
    write("proc/stat", "cpu  1300 10 500 8100 100 0 20 0 0 0");
    setCpu(1300, 400);
    listPids(procTable);
    EXPECT_FALSE(procTable.energyReadable());
    ASSERT_EQ(procTable.pidRusage(1300, web), 0);
    EXPECT_EQ(web.ri_energy_nj, 2'000'000'000u);
}

// The application section's sentence when the energy cannot be read: the remedy where the
// counter exists but is closed to this user, "none" where there is no counter at all.
TEST_F(ProcProcessTableTest, ThePassThroughTheSamplerWithoutEnergyTellsTheUserWhy) {
    const RunningApplicationIdentity terminal{
        "/apps/org.gnome.Terminal.desktop", "Terminal", {1200}};
    const auto passMessage = [&] {
        const ApplicationPowerReader reader(
            std::make_shared<ProcProcessTable>(root_ / "proc", root_ / "powercap"),
            makePlatformPowerReader("/nonexistent/power_supply"));
        const ProcessEnergyReading reading = reader.sampleEnergy({terminal});
        if (!reading.powerSample) return std::string("no power sample");
        return reading.errorMessage.value_or("no message");
    };

    fs::remove_all(root_ / "powercap/intel-rapl:0");  // no RAPL at all
    EXPECT_EQ(passMessage(), "这台电脑暂未提供应用 CPU 能耗数据。");

    // Root-only, as the kernel ships it: the user nobody (when the tests run as root) owns the
    // fixture's processes and runs the pass.
    fs::create_directories(root_ / "powercap/intel-rapl:0");
    write("powercap/intel-rapl:0/name", "package-0");
    write("powercap/intel-rapl:0/energy_uj", "1000000");
    ASSERT_EQ(::chmod((root_ / "powercap/intel-rapl:0/energy_uj").c_str(), 0000), 0);
    if (::geteuid() == 0) {
        for (const auto& entry : fs::recursive_directory_iterator(root_ / "proc")) {
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
        }
    }
    EXPECT_EQ(runUnprivileged(passMessage),
              "读取应用 CPU 能耗需要加入 pylonix-energy 用户组，加入后请重新登录。");
}

TEST_F(ProcProcessTableTest, ThePassThroughTheSamplerAttributesAndCounts) {
    setCpu(1210, 100, 1200);
    const auto procTable = std::make_shared<ProcProcessTable>(root_ / "proc", root_ / "powercap");
    write("proc/stat", "cpu  1100 10 500 8100 100 0 20 0 0 0");
    setCpu(1210, 200, 1200);  // the shell in the terminal works
    write("powercap/intel-rapl:0/energy_uj", "3000000");
    const ApplicationPowerReader reader(procTable,
                                        makePlatformPowerReader("/nonexistent/power_supply"));
    const RunningApplicationIdentity terminal{"/apps/org.gnome.Terminal.desktop", "Terminal",
                                              {1200}};
    const ProcessEnergyReading reading = reader.sampleEnergy({terminal});
    ASSERT_FALSE(reading.errorMessage) << *reading.errorMessage;
    EXPECT_EQ(reading.knownProcessCounts.at(terminal.id), 2);  // 1200 and its child 1210
    EXPECT_GT(reading.counters.at(1210).energyNanojoules, 0u);
    EXPECT_EQ(reading.counters.at(1200).energyNanojoules, 0u);
}

// Children start and end while passes run over the real /proc (with a powercap tree of the
// test's own whose energy grows each pass): nothing crashes and every reading keeps its own
// counts consistent.
TEST_F(ProcProcessTableTest, ChildrenComingAndGoingDuringPassesOverTheRealProc) {
    const auto procTable = std::make_shared<ProcProcessTable>("/proc", root_ / "powercap");
    const ApplicationPowerReader reader(procTable,
                                        makePlatformPowerReader("/nonexistent/power_supply"));
    const RunningApplicationIdentity self{"/test/self.desktop", "Self", {::getpid()}};
    std::vector<pid_t> children;
    auto spawnChild = [&children] {
        pid_t child = 0;
        char sleepPath[] = "/bin/sleep";
        char seconds[] = "30";
        char* argv[] = {sleepPath, seconds, nullptr};
        ASSERT_EQ(::posix_spawn(&child, sleepPath, nullptr, nullptr, argv, environ), 0);
        children.push_back(child);
    };
    auto endChild = [&children] {
        ::kill(children.front(), SIGKILL);
        ::waitpid(children.front(), nullptr, 0);
        children.erase(children.begin());
    };
    std::map<std::int32_t, ProcessEnergyCounter> previous;
    for (int pass = 0; pass < 12; ++pass) {
        spawnChild();
        spawnChild();
        if (pass % 3 == 2) endChild();
        write("powercap/intel-rapl:0/energy_uj", std::to_string(1000000 * (pass + 2)));
        const ProcessEnergyReading reading = reader.sampleEnergy({self});
        if (reading.errorMessage) {
            // Only the message of a machine without readable energy is acceptable here.
            EXPECT_EQ(*reading.errorMessage, kNoEnergyDataMessage);
            EXPECT_TRUE(reading.counters.empty());
            continue;
        }
        const auto known = reading.knownProcessCounts.at(self.id);
        EXPECT_LE(reading.counters.size(), static_cast<std::size_t>(known));
        EXPECT_GE(known, static_cast<long>(1 + children.size()));
        for (const auto& [pid, counter] : reading.counters) {
            EXPECT_EQ(counter.applicationID, self.id);
            const auto before = previous.find(pid);
            if (before != previous.end() && before->second.startTime == counter.startTime) {
                EXPECT_GE(counter.energyNanojoules, before->second.energyNanojoules);
            }
        }
        previous = {reading.counters.begin(), reading.counters.end()};
        endChild();
    }
    while (!children.empty()) endChild();
}

}  // namespace
}  // namespace pylonix::linux_platform
