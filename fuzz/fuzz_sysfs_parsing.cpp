// Arbitrary file contents as the uevent and attribute files of power-supply nodes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/battery/power_supply_record.h"
#include "platform/linux/files/outside_file.h"
#include "power/make_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix;
    using namespace pylonix::linux_platform;
    // Records are separated by a NUL byte: each becomes one node's uevent.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<PowerSupplyNode> nodes;
    std::size_t start = 0;
    while (start <= input.size() && nodes.size() < 8) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        PowerSupplyNode node;
        node.name = "node" + std::to_string(nodes.size());
        parseUevent(input.substr(start, end - start), node);
        for (const auto& [key, value] : node.attributes) (void)parseSysfsInteger(value);
        nodes.push_back(std::move(node));
        start = end + 1;
    }
    if (const auto record = makeBatteryRecord(nodes)) {
        const PowerSnapshot snapshot = makeSnapshot(*record, wallClockFromSeconds(0));
        if (snapshot.systemPower.watts && !(*snapshot.systemPower.watts <= 1000)) __builtin_trap();
    }
    return 0;
}
