// snapshot and battery: the battery record and the snapshot the reader makes of it.
#include <array>
#include <ostream>

#include "platform/linux/battery/platform_power_reader.h"
#include "platform/linux/battery/sysfs_power_reader.h"
#include "power/make_snapshot.h"
#include "probe_command.h"
#include "probe_commands.h"

namespace pylonix::probe {

int runSnapshot(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 1> kOptions = {"--timestamp"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    WallClockTime timestamp = wallClockNow();
    if (const std::string* seconds = parsed.option("--timestamp")) {
        timestamp = wallClockFromSeconds(parseDoubleOption(*seconds, "--timestamp"));
    }
    const Json input = parseJson(readInputText(parsed.positional));
    requireObject(input, "");
    printJson(out, toJson(makeSnapshot(batteryPropertiesFromJson(input), timestamp)));
    return 0;
}

int runBattery(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 1> kOptions = {"--sysfs"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    if (!parsed.positional.empty()) throw UsageError("battery takes no file");
    const std::string* sysfs = parsed.option("--sysfs");
    const std::filesystem::path root = sysfs ? *sysfs : linux_platform::kDefaultPowerSupplyRoot;

    // The record as one scan finds it, and the snapshot the reader makes of that same record.
    const linux_platform::SysfsPowerReader reader(root);
    const WallClockTime timestamp = wallClockNow();
    const linux_platform::BatteryRecordRead record = reader.readProperties();
    const Json properties = record.properties ? toJson(*record.properties) : Json(nullptr);
    const PowerSnapshot snapshot = record.snapshot(timestamp);
    printJson(out, Json{{"properties", properties}, {"snapshot", toJson(snapshot)}});
    return 0;
}

}  // namespace pylonix::probe
