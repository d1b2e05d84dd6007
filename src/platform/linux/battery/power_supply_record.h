#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "power/battery_properties.h"

namespace pylonix::linux_platform {

// One power-supply node's attributes, from its uevent and, for what the uevent lacks, from the
// attribute files themselves. Names are the attribute file names ("status").
struct PowerSupplyNode {
    std::string name;  // the directory name ("BAT0")
    std::map<std::string, std::string, std::less<>> attributes;

    const std::string* attribute(std::string_view key) const;
};

// The attributes a record may need: the uevent keeps only these, and a node without a readable
// uevent is read file by file for them.
// clang-format off
inline constexpr std::array<std::string_view, 20> kRecordAttributes = {
    "type", "scope", "present", "status", "online",
    "voltage_now", "current_now", "power_now", "energy_now", "energy_full", "charge_now",
    "charge_full", "capacity", "time_to_empty_now", "time_to_full_now",
    "voltage_max", "current_max", "usb_type", "manufacturer", "model_name"};
// clang-format on

// Parses the body of a uevent file ("POWER_SUPPLY_STATUS=Discharging" lines) into the node's
// attributes of `kRecordAttributes`; lines of any other form, and empty values, are ignored.
void parseUevent(std::string_view text, PowerSupplyNode& node);

// Builds the battery controller's record from the system's power-supply nodes: the system
// batteries (type Battery, scope not Device) merged into one record, and the external
// supplies for ExternalConnected and the adapter's rating. Values that are missing or not
// numbers leave their key out. Returns nothing when no system battery is among the nodes.
std::optional<BatteryProperties> makeBatteryRecord(const std::vector<PowerSupplyNode>& nodes);

}  // namespace pylonix::linux_platform
