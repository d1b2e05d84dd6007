// apps: one live sampling pass over this user's processes and desktop applications.
#include <unistd.h>

#include <array>
#include <chrono>
#include <ostream>
#include <thread>

#include "apppower/application_power_reader.h"
#include "apppower/running_application_identities.h"
#include "apppower_json.h"
#include "platform/linux/applications/desktop_running_applications.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/processes/proc_process_table.h"
#include "probe_command.h"
#include "probe_commands.h"

namespace pylonix::probe {

int runApps(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 4> kOptions = {"--proc", "--powercap", "--sysfs",
                                                          "--settle"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    if (!parsed.positional.empty()) throw UsageError("apps takes no file");
    auto optionOr = [&parsed](std::string_view name, const char* fallback) {
        const std::string* value = parsed.option(name);
        return std::filesystem::path(value ? *value : fallback);
    };
    const std::filesystem::path procRoot = optionOr("--proc", "/proc");
    double settleSeconds = 1.0;
    if (const std::string* settle = parsed.option("--settle")) {
        settleSeconds = parseDoubleOption(*settle, "--settle");
        if (!(settleSeconds >= 0 && settleSeconds <= 60)) {
            throw UsageError("--settle must be from 0 to 60 seconds");
        }
    }

    // The process table starts the energy ledger when it is made; the pass comes after the
    // settling time so that its counters hold the energy of that time, as a pass of the panel's
    // loop holds the energy since the previous one.
    const auto table = std::make_shared<linux_platform::ProcProcessTable>(
        procRoot, optionOr("--powercap", "/sys/class/powercap"));
    linux_platform::DesktopRunningApplications running(
        procRoot, linux_platform::DesktopEntryLocations::fromEnvironment(), ::getuid());
    const std::vector<RunningApplicationIdentity> applications = runningApplicationIdentities(
        running.list(), linux_platform::desktopApplicationId);
    std::this_thread::sleep_for(std::chrono::duration<double>(settleSeconds));

    const ApplicationPowerReader reader(
        table, linux_platform::makePlatformPowerReader(
                   optionOr("--sysfs", linux_platform::kDefaultPowerSupplyRoot)));
    const ProcessEnergyReading reading = reader.sampleEnergy(applications);

    Json identities = Json::array();
    for (const RunningApplicationIdentity& identity : applications) {
        identities.push_back(toJson(identity));
    }
    printJson(out, Json{{"applications", identities},
                        {"reading", toJson(reading)},
                        {"energyReadable", table->energyReadable()}});
    return 0;
}

}  // namespace pylonix::probe
