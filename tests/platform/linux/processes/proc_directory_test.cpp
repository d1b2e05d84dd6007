#include "platform/linux/processes/proc_directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

namespace pylonix::linux_platform {
namespace {

const std::filesystem::path kProcTable = std::filesystem::path(PYLONIX_FIXTURES_DIR) / "proc_table";

TEST(ProcDirectoryTest, ListsTheUsersProcessesWithParentsStartTimesAndExecutables) {
    const ProcDirectory proc(kProcTable);
    const auto processes = proc.userProcesses(::geteuid());  // the fixture files are ours
    ASSERT_TRUE(processes);
    std::vector<ProcProcess> sorted = *processes;
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.stat.pid < b.stat.pid; });
    std::vector<std::int32_t> pids;
    for (const auto& process : sorted) pids.push_back(process.stat.pid);
    // 1900 has no stat file any more and 2000 a cut one: both skipped, like "self-not-a-pid".
    EXPECT_EQ(pids, (std::vector<std::int32_t>{900, 1200, 1210, 1300, 1400, 1500, 1600, 1700,
                                               1800}));
    const ProcProcess& web = sorted[3];
    EXPECT_EQ(web.stat, (ProcessStat{1300, 900, 400, 3000}));
    EXPECT_EQ(web.executablePath, "/usr/lib/firefox-esr/firefox-esr");
    EXPECT_EQ(sorted[7].executablePath, std::nullopt);  // 1700 has no exe link

    EXPECT_EQ(proc.totalCpuTicks(), 9630u);
    EXPECT_EQ(proc.processStat(1210), (ProcessStat{1210, 1200, 6, 2100}));
    EXPECT_FALSE(proc.processStat(1900));
    EXPECT_TRUE(proc.processFile(1200, "cgroup", 4096)->ends_with("-1200.scope\n"));
}

TEST(ProcDirectoryTest, OtherUsersProcessesAndAMissingRootGiveNothing) {
    EXPECT_EQ(ProcDirectory(kProcTable).userProcesses(::geteuid() + 1)->size(), 0u);
    const ProcDirectory missing("/nonexistent/proc");
    EXPECT_FALSE(missing.userProcesses(::geteuid()));
    EXPECT_FALSE(missing.totalCpuTicks());
}

TEST(ProcDirectoryTest, ReadsThisMachinesOwnProcess) {
    const ProcDirectory proc;
    const auto processes = proc.userProcesses(::geteuid());
    ASSERT_TRUE(processes);
    const auto self = std::find_if(processes->begin(), processes->end(), [](const auto& p) {
        return p.stat.pid == ::getpid();
    });
    ASSERT_NE(self, processes->end());
    EXPECT_EQ(self->stat.parentPID, ::getppid());
    EXPECT_EQ(self->executablePath, std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_TRUE(proc.totalCpuTicks());
}

}  // namespace
}  // namespace pylonix::linux_platform
