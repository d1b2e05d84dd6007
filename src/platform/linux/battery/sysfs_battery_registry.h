#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "power/battery_registry.h"

namespace pylonix::linux_platform {

// One power-supply node's attributes, from its uevent and, for what the uevent lacks,
// from the attribute files themselves. Names are the attribute file names ("status").
struct PowerSupplyNode {
    std::string name;  // the directory name ("BAT0")
    std::map<std::string, std::string, std::less<>> attributes;

    const std::string* attribute(std::string_view key) const;
};

// Parses the body of a uevent file ("POWER_SUPPLY_STATUS=Discharging" lines) into
// attributes; lines of any other form are ignored.
void parseUevent(std::string_view text, PowerSupplyNode& node);

// Builds the battery controller's record from the system's power-supply nodes: the system
// batteries (type Battery, scope not Device) merged into one record, and the external
// supplies for ExternalConnected and the adapter's rating. Values that are missing or not
// numbers leave their key out. Returns nothing when no system battery is among the nodes.
std::optional<BatteryProperties> makeBatteryRecord(const std::vector<PowerSupplyNode>& nodes);

// The device registry on Linux: /sys/class/power_supply (or a fixture tree) read as one
// battery controller record. The only service is the system battery, handle 1; every
// property copy reads the tree afresh, so a battery that vanished after the lookup makes the
// copy fail. Holds no state besides the root, so concurrent readers need no locking.
class SysfsBatteryRegistry final : public BatteryRegistry {
public:
    static constexpr Handle kBatteryHandle = 1;
    static constexpr ReturnCode kNotFound = 2;

    explicit SysfsBatteryRegistry(std::filesystem::path root = "/sys/class/power_supply");

    Handle getMatchingService(const Matching& matching) const override;
    ReturnCode createProperties(Handle service, std::optional<BatteryValue>& out) const override;
    void release(Handle) const override {}

    // Every node under the root with its uevent attributes plus type and scope.
    std::vector<PowerSupplyNode> readNodes() const;

private:
    std::filesystem::path root_;
};

}  // namespace pylonix::linux_platform
