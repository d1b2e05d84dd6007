// apps: live sampling passes over this user's processes and desktop applications.
#include <array>
#include <chrono>
#include <ostream>
#include <thread>

#include "apppower/application_power_reader.h"
#include "apppower_json.h"
#include "platform/linux/applications/desktop_running_applications.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/processes/proc_process_source.h"
#include "probe_command.h"
#include "probe_commands.h"

namespace pylonix::probe {
namespace {

// The desktop applications without icons: the probe prints none.
class IconlessDesktopApplications final : public RunningApplicationSource {
  public:
    explicit IconlessDesktopApplications(linux_platform::DesktopRunningApplications& list)
        : list_(list) {}

    std::vector<PlatformRunningApplication> runningApplications(
        std::span<const ProcessRecord> processes) override {
        return list_.list(processes);
    }
    std::shared_ptr<const ApplicationIcon> applicationIcon(
        const PlatformRunningApplication&) override {
        return nullptr;
    }
    std::shared_ptr<const ApplicationIcon> fileIcon(const std::string&) override {
        return std::make_shared<ApplicationIcon>();
    }
    std::optional<std::string> applicationId(std::string_view bundlePath) const override {
        return linux_platform::desktopApplicationId(bundlePath);
    }

  private:
    linux_platform::DesktopRunningApplications& list_;
};

}  // namespace

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

    linux_platform::DesktopRunningApplications list(
        linux_platform::DesktopEntryLocations::fromEnvironment());
    const auto source = std::make_shared<linux_platform::ProcProcessSource>(
        optionOr("--proc", "/proc"), optionOr("--powercap", "/sys/class/powercap"));
    source->setCommandLineRule(
        [&list](const std::string& executable) { return list.needsCommandLine(executable); });
    ApplicationPowerReader reader(source, std::make_shared<IconlessDesktopApplications>(list),
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
