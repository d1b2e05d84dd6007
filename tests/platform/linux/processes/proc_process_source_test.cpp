#include "platform/linux/processes/proc_process_source.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>

extern char** environ;

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

std::map<std::int32_t, ProcessRecord> byPid(const ProcessSource::Pass& pass) {
    std::map<std::int32_t, ProcessRecord> records;
    if (const auto* processes = std::get_if<ProcessPass>(&pass)) {
        for (const ProcessRecord& process : processes->processes) records[process.pid] = process;
    }
    return records;
}

// The fixture process table and a one-package powercap tree, copied so they can change.
class ProcProcessSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("pylonix_source_" + std::to_string(::getpid()));
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
    // Rewrites a fixture process's stat with a name, CPU time, parent and start time.
    void setStat(std::int32_t pid, int utime, int parent = 900, std::uint64_t start = 0,
                 const std::string& name = "p") {
        const std::string id = std::to_string(pid);
        write("proc/" + id + "/stat",
              id + " (" + name + ") S " + std::to_string(parent) + " 1 1 0 -1 0 0 0 0 0 " +
                  std::to_string(utime) + " 0 0 0 20 0 1 0 " +
                  std::to_string(start ? start : static_cast<std::uint64_t>(pid) * 2) + " 0 0");
    }

    ProcProcessSource source(std::int32_t ownPid = 1210) const {
        return ProcProcessSource(root_ / "proc", root_ / "powercap", ::geteuid(), ownPid);
    }
    fs::path root_;
};

TEST_F(ProcProcessSourceTest, OnePassHoldsTheUsersProcessesAndWhatTheyAre) {
    ProcProcessSource processes = source();
    const auto records = byPid(processes.readPass());
    std::vector<std::int32_t> pids;
    for (const auto& [pid, record] : records) pids.push_back(pid);
    // 1900 has no stat file any more and 2000 a cut one: both skipped, like "self-not-a-pid".
    EXPECT_EQ(pids,
              (std::vector<std::int32_t>{900, 1200, 1210, 1300, 1400, 1500, 1600, 1700, 1800}));
    const ProcessRecord& web = records.at(1300);
    EXPECT_EQ(web.parentPID, 900);
    EXPECT_EQ(web.startTime, 3000u);
    EXPECT_EQ(web.executablePath, "/usr/lib/firefox-esr/firefox-esr");
    EXPECT_EQ(web.identity.systemdUnit, "app-gnome-firefox\\x2desr-1299.scope");
    EXPECT_EQ(web.energyNanojoules, 0u);  // first sight
    EXPECT_EQ(records.at(1400).identity.flatpakId, "org.example.Notes");
    EXPECT_EQ(records.at(1700).executablePath, std::nullopt);  // no exe link
    // The editor's variable names another process: inherited, so not this one's.
    EXPECT_EQ(records.at(1500).identity.launcherDesktopFile, "");
    EXPECT_TRUE(records.at(1500).identity.commandLine.empty());  // no rule asks for it

    // Other users' processes are not listed; a missing root is a failed pass.
    EXPECT_TRUE(
        byPid(ProcProcessSource(root_ / "proc", root_ / "powercap", ::geteuid() + 1, 1).readPass())
            .empty());
    EXPECT_EQ(ProcProcessSource("/nonexistent/proc").readPass(),
              ProcessSource::Pass(ProcessListFailure::unreadable));
}

TEST_F(ProcProcessSourceTest, WhatLastsIsReadOncePerProcessAndAgainAfterAnExec) {
    ProcProcessSource processes = source();
    processes.setCommandLineRule(
        [](const std::string& executable) { return executable.ends_with("firefox-esr"); });
    std::ofstream(root_ / "proc/1300/cmdline") << std::string("firefox-esr\0--new-window\0", 25);
    EXPECT_EQ(byPid(processes.readPass()).at(1300).identity.commandLine,
              (std::vector<std::string>{"firefox-esr", "--new-window"}));

    write("proc/1300/cgroup", "0::/u/app.slice/app-other-1.scope");
    write("proc/1210/cgroup", "0::/u/app.slice/app-other-2.scope");
    fs::remove_all(root_ / "proc/1200");
    auto records = byPid(processes.readPass());
    EXPECT_EQ(records.at(1300).identity.systemdUnit, "app-gnome-firefox\\x2desr-1299.scope");
    EXPECT_FALSE(records.contains(1200));
    EXPECT_EQ(processes.knownProcessCount(), 8u);  // the ended one is forgotten

    setStat(1300, 5, 900, 3000, "firefox-esr");  // the same process after an exec
    setStat(1210, 5, 1200, 9999);                // another process under the same id
    records = byPid(processes.readPass());
    EXPECT_EQ(records.at(1300).identity.systemdUnit, "app-other-1.scope");
    EXPECT_EQ(records.at(1210).identity.systemdUnit, "app-other-2.scope");
    EXPECT_EQ(records.at(1210).startTime, 9999u);
}

TEST_F(ProcProcessSourceTest, CountersSplitTheProcessorsEnergyByCpuTime) {
    setStat(1200, 100);
    setStat(1300, 100);
    ProcProcessSource processes = source();
    processes.readPass();
    EXPECT_TRUE(processes.energyReadable());
    // 200 ticks of machine time pass; 1200 uses 50 of them, 1300 100; 4 J are used.
    write("proc/stat", "cpu  1100 10 500 8100 100 0 20 0 0 0");
    setStat(1200, 150);
    setStat(1300, 200);
    write("powercap/intel-rapl:0/energy_uj", "5000000");
    auto pass = processes.readPass();
    auto records = byPid(pass);
    EXPECT_EQ(records.at(1200).energyNanojoules, 1'000'000'000u);
    EXPECT_EQ(records.at(1300).energyNanojoules, 2'000'000'000u);
    EXPECT_EQ(std::get<ProcessPass>(pass).ownEnergyNanojoules, 0u);  // 1210 did nothing

    // The energy file becomes root-only (here: unreadable): counters stop growing.
    write("powercap/intel-rapl:0/energy_uj", "garbage");
    write("proc/stat", "cpu  1300 10 500 8100 100 0 20 0 0 0");
    setStat(1300, 400);
    records = byPid(processes.readPass());
    EXPECT_FALSE(processes.energyReadable());
    EXPECT_EQ(records.at(1300).energyNanojoules, 2'000'000'000u);
    // A source whose own process is not in the table cannot read its own counter.
    EXPECT_EQ(std::get<ProcessPass>(source(4242).readPass()).ownEnergyNanojoules, std::nullopt);
}

TEST_F(ProcProcessSourceTest, TheLauncherVariablesBehindALargeEnvironment) {
    {
        std::ofstream environ(root_ / "proc/1600/environ");
        environ << "JUNK=" << std::string(300 * 1024, 'x') << '\0'
                << "GIO_LAUNCHED_DESKTOP_FILE=/apps/viewer.desktop" << '\0'
                << "GIO_LAUNCHED_DESKTOP_FILE_PID=1600" << '\0' << "APPIMAGE=/opt/v.AppImage"
                << '\0';
    }
    fs::remove(root_ / "proc/1300/environ");
    ASSERT_EQ(::mkfifo((root_ / "proc/1300/environ").c_str(), 0600), 0);  // never written
    ProcProcessSource processes = source();
    const auto records = byPid(processes.readPass());
    EXPECT_EQ(records.at(1600).identity.launcherDesktopFile, "/apps/viewer.desktop");
    EXPECT_EQ(records.at(1600).identity.appImage, "/opt/v.AppImage");
    EXPECT_EQ(records.at(1300).identity.launcherDesktopFile, "");  // skipped, not waited on
}

// Children start and end while passes run over the real /proc: each pass holds this process
// with its own counter, every child alive at the time, and counters that never go back.
TEST_F(ProcProcessSourceTest, ChildrenComingAndGoingDuringPassesOverTheRealProc) {
    ProcProcessSource processes("/proc", root_ / "powercap");
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
    std::map<std::int32_t, ProcessRecord> previous;
    for (int pass = 0; pass < 12; ++pass) {
        spawnChild();
        spawnChild();
        if (pass % 3 == 2) endChild();
        write("powercap/intel-rapl:0/energy_uj", std::to_string(1000000 * (pass + 2)));
        const ProcessSource::Pass result = processes.readPass();
        ASSERT_TRUE(std::holds_alternative<ProcessPass>(result));
        EXPECT_TRUE(std::get<ProcessPass>(result).ownEnergyNanojoules);
        const auto records = byPid(result);
        ASSERT_TRUE(records.contains(::getpid()));
        EXPECT_EQ(records.at(::getpid()).parentPID, ::getppid());
        for (const pid_t child : children) {
            ASSERT_TRUE(records.contains(child));
            EXPECT_EQ(records.at(child).parentPID, ::getpid());
        }
        for (const auto& [pid, record] : records) {
            const auto before = previous.find(pid);
            if (before != previous.end() && before->second.startTime == record.startTime) {
                EXPECT_GE(record.energyNanojoules, before->second.energyNanojoules);
            }
        }
        previous = records;
        endChild();
    }
    while (!children.empty()) endChild();
}

}  // namespace
}  // namespace pylonix::linux_platform
