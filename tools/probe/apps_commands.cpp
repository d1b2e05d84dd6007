// apps: live sampling passes over this user's processes and desktop applications.
#include <array>
#include <chrono>
#include <ostream>
#include <thread>

#include "apppower/application_power_reader.h"
#include "apppower_json.h"
#include "platform/linux/applications/iconless_application_source.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/processes/proc_process_source.h"
#include "probe_command.h"
#include "probe_commands.h"

namespace pylonix::probe {
int runApps(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 5> kOptions = {"--proc", "--powercap", "--sysfs",
                                                          "--settle", "--passes"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    if (!parsed.positional.empty()) throw UsageError("apps takes no file");
    auto optionOr = [&parsed](std::string_view name, const char* fallback) {
        const std::string* value = parsed.option(name);
        return std::filesystem::path(value ? *value : fallback);
    };
    double settleSeconds = 1.0;
    if (const std::string* settle = parsed.option("--settle")) {
        settleSeconds = parseDoubleOption(*settle, "--settle");
        if (!(settleSeconds >= 0 && settleSeconds <= 60)) {
            throw UsageError("--settle must be from 0 to 60 seconds");
        }
    }
    long long passes = 1;
    if (const std::string* count = parsed.option("--passes")) {
        passes = parseCountOption(*count, "--passes");
    }

    const auto applications = std::make_shared<linux_platform::IconlessApplicationSource>(
        linux_platform::DesktopEntryLocations::fromEnvironment());
    const auto source = std::make_shared<linux_platform::ProcProcessSource>(
        optionOr("--proc", "/proc"), optionOr("--powercap", "/sys/class/powercap"));
    source->setCommandLineRule([&applications](const std::string& executable) {
        return applications->list().needsCommandLine(executable);
    });
    ApplicationPowerReader reader(source, applications,
                                  linux_platform::makePlatformPowerReader(optionOr(
                                      "--sysfs", linux_platform::kDefaultPowerSupplyRoot)));

    // As in the application: a first pass when the reader is made starts the energy ledger, so
    // that each pass's counters hold the energy since the one before; passes are `--settle`
    // seconds apart, and icons are fetched only for applications that had none.
    source->readPass();
    EnergyPass pass;
    std::set<std::string> iconIds;
    for (long long i = 0; i < passes; ++i) {
        std::this_thread::sleep_for(std::chrono::duration<double>(settleSeconds));
        pass = reader.sampleEnergy(iconIds);
        for (const auto& item : pass.newIcons) iconIds.insert(item.first);
    }

    Json identities = Json::array();
    for (const RunningApplicationIdentity& identity : pass.applications) {
        identities.push_back(toJson(identity));
    }
    printJson(out, Json{{"applications", identities},
                        {"reading", toJson(pass.reading)},
                        {"energyReadable", source->energyReadable()}});
    return 0;
}

}  // namespace pylonix::probe
