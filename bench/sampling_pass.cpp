// Runs sampling passes for counting their system calls with strace: `--generate DIR N` makes a
// fixture table of N processes; `--proc DIR --passes N energy|apps` runs N energy passes (the
// sampler over the process table) or N running-application listings and prints how many
// processes of the user the table holds.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "apppower/application_power_reader.h"
#include "apppower/running_application_identities.h"
#include "platform/linux/applications/desktop_running_applications.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/processes/proc_process_table.h"
#include "proc_fixture.h"

int main(int argc, char** argv) {
    using namespace pylonix;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--generate") {
        bench::makeProcFixture(args[1], std::atoi(args[2].c_str()));
        return 0;
    }
    if (args.size() != 5 || args[0] != "--proc" || args[2] != "--passes") {
        std::cerr << "usage: sampling_pass --generate DIR N | --proc DIR --passes N energy|apps\n";
        return 2;
    }
    const int passes = std::atoi(args[3].c_str());
    const auto table = std::make_shared<linux_platform::ProcProcessTable>(args[1]);
    const int bytes = table->listPidsByUser(table->getuid(), nullptr, 0);
    std::vector<std::int32_t> pids(static_cast<std::size_t>(bytes > 0 ? bytes : 0) / 4);
    table->listPidsByUser(table->getuid(), pids.data(), bytes);
    if (args[4] == "energy") {
        const ApplicationPowerReader reader(
            table, linux_platform::makePlatformPowerReader("/nonexistent"));
        RunningApplicationIdentity everything{"/all.desktop", "All", {}};
        everything.processIDs.insert(pids.begin(), pids.end());
        for (int i = 0; i < passes; ++i) reader.sampleEnergy({everything});
    } else {
        linux_platform::DesktopRunningApplications running(
            args[1], linux_platform::DesktopEntryLocations::fromEnvironment(), ::getuid());
        for (int i = 0; i < passes; ++i) {
            runningApplicationIdentities(running.list(), linux_platform::desktopApplicationId);
        }
    }
    std::cout << pids.size() << "\n";
    return 0;
}
