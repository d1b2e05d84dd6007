// watch: the live battery, through a real power monitor on the event loop.
#include <QCoreApplication>
#include <array>
#include <limits>
#include <ostream>
#include <string>

#include "common/in_memory_preferences_store.h"
#include "platform/linux/battery/platform_power_reader.h"
#include "platform/qt/qt_main_executor.h"
#include "power/power_monitor.h"
#include "probe_command.h"
#include "probe_commands.h"

namespace pylonix::probe {

int runWatch(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 3> kOptions = {"--interval", "--count", "--sysfs"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    if (!parsed.positional.empty()) throw UsageError("watch takes no file");

    // The interval reaches the monitor the way the application's does: through the
    // preferences it reads at creation. These live in memory only.
    InMemoryPreferencesStore preferences;
    if (const std::string* interval = parsed.option("--interval")) {
        const double seconds = parseDoubleOption(*interval, "--interval");
        if (!RefreshInterval::fromRawValue(seconds)) {
            throw UsageError("--interval must be one of 0.5, 1, 2 or 5 (seconds)");
        }
        preferences.writeDouble(kRefreshIntervalPreferenceKey, seconds);
    }
    long long count = std::numeric_limits<long long>::max();
    if (const std::string* text = parsed.option("--count")) {
        count = parseCountOption(*text, "--count");
    }
    const std::string* sysfs = parsed.option("--sysfs");
    const std::filesystem::path root = sysfs ? *sysfs : linux_platform::kDefaultPowerSupplyRoot;

    int argc = 1;
    std::string programName = "pylonix-probe";
    std::array<char*, 2> argv = {programName.data(), nullptr};
    const QCoreApplication application(argc, argv.data());
    qt_platform::QtMainExecutor executor;

    long long printed = 0;
    int status = 0;
    const auto print = [&](const PowerSnapshot& snapshot) {
        if (printed >= count) return;
        printJson(out, toJson(snapshot));
        out.flush();
        ++printed;
        if (!out) status = 1;  // the reader went away: nothing more to show
        if (printed >= count || !out) QCoreApplication::exit(status);
    };

    // Creation takes the first reading before anyone can observe it, so it is printed here.
    const auto monitor =
        PowerMonitor::create(linux_platform::makePlatformPowerReader(root), preferences, executor);
    print(monitor->snapshot());
    if (printed >= count || status != 0) return status;
    const Subscription printing = monitor->observeSnapshot(print);
    monitor->start();
    if (printed >= count || status != 0) return status;
    return QCoreApplication::exec();
}

}  // namespace pylonix::probe
