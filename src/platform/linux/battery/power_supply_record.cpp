#include "platform/linux/battery/power_supply_record.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

constexpr std::string_view kUeventPrefix = "POWER_SUPPLY_";

// The attribute of `kRecordAttributes` that a uevent key names ("STATUS" -> "status").
std::optional<std::string_view> recordAttribute(std::string_view ueventKey) {
    const auto sameName = [&](std::string_view name) {
        return name.size() == ueventKey.size() &&
               std::equal(name.begin(), name.end(), ueventKey.begin(), [](char a, char b) {
                   return a == std::tolower(static_cast<unsigned char>(b));
               });
    };
    const auto found = std::find_if(kRecordAttributes.begin(), kRecordAttributes.end(), sameName);
    if (found == kRecordAttributes.end()) return std::nullopt;
    return *found;
}

std::optional<std::int64_t> integerAttribute(const PowerSupplyNode& node, std::string_view key) {
    const std::string* text = node.attribute(key);
    if (text == nullptr) return std::nullopt;
    return parseSysfsInteger(*text);
}

bool isSystemBattery(const PowerSupplyNode& node) {
    const std::string* type = node.attribute("type");
    const std::string* scope = node.attribute("scope");
    return type != nullptr && *type == "Battery" && (scope == nullptr || *scope != "Device");
}

bool isExternalSupply(const PowerSupplyNode& node) {
    const std::string* type = node.attribute("type");
    const std::string* scope = node.attribute("scope");
    return type != nullptr && *type != "Battery" && *type != "UPS" &&
           (scope == nullptr || *scope != "Device");
}

// A USB supply that negotiated power delivery: type USB_PD*, or USB with "[PD...]" active.
bool isPowerDeliverySupply(const PowerSupplyNode& node) {
    const std::string* type = node.attribute("type");
    if (type == nullptr) return false;
    if (type->starts_with("USB_PD")) return true;
    if (*type != "USB") return false;
    const std::string* usbType = node.attribute("usb_type");
    return usbType != nullptr && usbType->find("[PD") != std::string::npos;
}

// +1 while charging, -1 while discharging, 0 when the status does not say.
int direction(const PowerSupplyNode& pack) {
    const std::string* status = pack.attribute("status");
    if (status == nullptr) return 0;
    if (*status == "Charging") return 1;
    if (*status == "Discharging") return -1;
    return 0;
}

// A magnitude signed by the status. Drivers disagree on the sign of current and power, so
// the sign of the file is never used; without a direction only a zero is kept.
std::optional<double> signedByStatus(const PowerSupplyNode& pack, double magnitude) {
    const int sign = direction(pack);
    if (sign == 0) return magnitude == 0 ? std::optional<double>(0.0) : std::nullopt;
    return sign * magnitude;
}

// The pack's signed power in microwatts: power_now, else voltage_now x current_now.
std::optional<double> packPowerMicrowatts(const PowerSupplyNode& pack) {
    if (const auto power = integerAttribute(pack, "power_now")) {
        return signedByStatus(pack, std::fabs(static_cast<double>(*power)));
    }
    const auto voltage = integerAttribute(pack, "voltage_now");
    const auto current = integerAttribute(pack, "current_now");
    if (voltage && current) {
        const double microwatts =
            std::fabs(static_cast<double>(*voltage) * static_cast<double>(*current)) / 1e6;
        return signedByStatus(pack, microwatts);
    }
    return std::nullopt;
}

// Capacity pair summed over the packs, in the first unit that every pack reports.
std::optional<std::pair<std::int64_t, std::int64_t>> capacities(
    const std::vector<const PowerSupplyNode*>& packs) {
    const std::array<std::pair<std::string_view, std::string_view>, 3> units = {
        {{"energy_now", "energy_full"}, {"charge_now", "charge_full"}, {"capacity", ""}}};
    for (const auto& [nowKey, fullKey] : units) {
        std::int64_t now = 0;
        std::int64_t full = 0;
        bool complete = true;
        for (const PowerSupplyNode* pack : packs) {
            const auto packNow = integerAttribute(*pack, nowKey);
            const auto packFull = fullKey.empty() ? std::optional<std::int64_t>(100)
                                                  : integerAttribute(*pack, fullKey);
            if (!packNow || !packFull || __builtin_add_overflow(now, *packNow, &now) ||
                __builtin_add_overflow(full, *packFull, &full)) {
                complete = false;
                break;
            }
        }
        if (complete) return std::make_pair(now, full);
    }
    return std::nullopt;
}

void addBatteryKeys(const std::vector<const PowerSupplyNode*>& packs, BatteryProperties& record) {
    const auto anyStatus = [&](std::string_view wanted) {
        return std::any_of(packs.begin(), packs.end(), [&](const PowerSupplyNode* pack) {
            const std::string* status = pack->attribute("status");
            return status != nullptr && *status == wanted;
        });
    };
    const bool statusKnown = std::all_of(packs.begin(), packs.end(), [](const auto* pack) {
        return pack->attribute("status") != nullptr;
    });
    if (statusKnown) {
        record["IsCharging"] = anyStatus("Charging");
        record["FullyCharged"] = std::all_of(packs.begin(), packs.end(), [](const auto* pack) {
            return *pack->attribute("status") == "Full";
        });
    }

    if (const auto pair = capacities(packs)) {
        record["CurrentCapacity"] = pair->first;
        record["MaxCapacity"] = pair->second;
    }

    if (packs.size() == 1) {
        const PowerSupplyNode& pack = *packs.front();
        if (const auto microvolts = integerAttribute(pack, "voltage_now")) {
            record["Voltage"] = static_cast<double>(*microvolts) / 1000.0;
        }
        if (const auto microamps = integerAttribute(pack, "current_now")) {
            const double milliamps = std::fabs(static_cast<double>(*microamps)) / 1000.0;
            if (const auto signedMilliamps = signedByStatus(pack, std::round(milliamps))) {
                record["InstantAmperage"] = static_cast<std::int64_t>(*signedMilliamps);
            }
        }
        const int sign = direction(pack);
        const char* timeKey = sign > 0 ? "time_to_full_now" : "time_to_empty_now";
        if (const auto seconds = integerAttribute(pack, timeKey); seconds && *seconds >= 0) {
            record["TimeRemaining"] = *seconds / 60;
        }
    }

    // Power of every pack, summed with its sign; only when every pack has one.
    double totalMicrowatts = 0;
    bool powerComplete = true;
    for (const PowerSupplyNode* pack : packs) {
        const auto microwatts = packPowerMicrowatts(*pack);
        if (!microwatts) {
            powerComplete = false;
            break;
        }
        totalMicrowatts += *microwatts;
    }
    // A single pack that reports current has its power computed from voltage x current by
    // the reader; BatteryPower is for drivers that report power, and for merged packs.
    const bool singleWithCurrent =
        packs.size() == 1 && record.contains("InstantAmperage") && record.contains("Voltage");
    if (powerComplete && !singleWithCurrent) {
        record["BatteryData"] = BatteryProperties{{"BatteryPower", totalMicrowatts / 1000.0}};
    }
}

}  // namespace

const std::string* PowerSupplyNode::attribute(std::string_view key) const {
    const auto found = attributes.find(key);
    return found == attributes.end() ? nullptr : &found->second;
}

void parseUevent(std::string_view text, PowerSupplyNode& node) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.starts_with(kUeventPrefix)) continue;
        line.remove_prefix(kUeventPrefix.size());
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const auto key = recordAttribute(line.substr(0, equals));
        const std::string_view value = trimSpace(line.substr(equals + 1));
        if (!key || value.empty()) continue;
        node.attributes.insert_or_assign(std::string(*key), std::string(value));
    }
}

std::optional<BatteryProperties> makeBatteryRecord(const std::vector<PowerSupplyNode>& nodes) {
    std::vector<const PowerSupplyNode*> batteries;
    std::vector<const PowerSupplyNode*> externals;
    for (const PowerSupplyNode& node : nodes) {
        if (isSystemBattery(node)) batteries.push_back(&node);
        if (isExternalSupply(node)) externals.push_back(&node);
    }
    if (batteries.empty()) return std::nullopt;

    std::vector<const PowerSupplyNode*> packs;
    for (const PowerSupplyNode* battery : batteries) {
        const auto present = integerAttribute(*battery, "present");
        if (!present || *present != 0) packs.push_back(battery);
    }

    BatteryProperties record;
    if (packs.empty()) {
        // Battery bays without a battery in them.
        record["BatteryInstalled"] = false;
    } else {
        if (integerAttribute(*packs.front(), "present")) record["BatteryInstalled"] = true;
        addBatteryKeys(packs, record);
    }

    const auto isOnline = [](const PowerSupplyNode* node) {
        const auto online = integerAttribute(*node, "online");
        return online && *online != 0;
    };
    const bool anyOnlineKnown = std::any_of(externals.begin(), externals.end(), [](auto* node) {
        return integerAttribute(*node, "online").has_value();
    });
    if (anyOnlineKnown) {
        record["ExternalConnected"] = std::any_of(externals.begin(), externals.end(), isOnline);
    } else if (externals.empty() && !packs.empty() &&
               std::all_of(packs.begin(), packs.end(),
                           [](auto* pack) { return pack->attribute("status") != nullptr; })) {
        record["ExternalConnected"] = std::none_of(packs.begin(), packs.end(), [](auto* pack) {
            return *pack->attribute("status") == "Discharging";
        });
    }

    // The adapter's negotiated rating: never a measurement, so never PowerTelemetryData.
    for (const PowerSupplyNode* supply : externals) {
        if (!isOnline(supply) || !isPowerDeliverySupply(*supply)) continue;
        const auto microvolts = integerAttribute(*supply, "voltage_max");
        const auto microamps = integerAttribute(*supply, "current_max");
        if (microvolts && microamps && *microvolts > 0 && *microamps > 0) {
            record["AdapterDetails"] =
                BatteryProperties{{"AdapterVoltage", static_cast<double>(*microvolts) / 1000.0},
                                  {"Current", static_cast<double>(*microamps) / 1000.0}};
            break;
        }
    }
    return record;
}

}  // namespace pylonix::linux_platform
