#include "power/power_snapshot.h"

namespace pylonix {

PowerSnapshot::Status PowerSnapshot::status() const {
    if (!batteryPresent || errorMessage) return Status::unavailable;
    if (isFullyCharged) return Status::fullyCharged;
    if (isCharging) return Status::charging;
    if (externalConnected) return Status::connectedNotCharging;
    return Status::discharging;
}

PowerSnapshot unavailableSnapshot(std::string message, WallClockTime timestamp) {
    PowerSnapshot snapshot;
    snapshot.timestamp = timestamp;
    snapshot.errorMessage = std::move(message);
    snapshot.systemPower = SystemPowerReading::unavailable(kNoSystemPowerDataReason);
    return snapshot;
}

const char* toString(PowerSnapshot::Status status) {
    switch (status) {
        case PowerSnapshot::Status::charging:
            return "charging";
        case PowerSnapshot::Status::connectedNotCharging:
            return "connectedNotCharging";
        case PowerSnapshot::Status::fullyCharged:
            return "fullyCharged";
        case PowerSnapshot::Status::discharging:
            return "discharging";
        case PowerSnapshot::Status::unavailable:
            return "unavailable";
    }
    return "unavailable";
}

const char* toString(SystemPowerReading::Source source) {
    switch (source) {
        case SystemPowerReading::Source::externalInputMinusBattery:
            return "externalInputMinusBattery";
        case SystemPowerReading::Source::batteryDischarge:
            return "batteryDischarge";
    }
    return "batteryDischarge";
}

std::optional<SystemPowerReading::Source> powerSourceFromString(std::string_view name) {
    if (name == "externalInputMinusBattery") {
        return SystemPowerReading::Source::externalInputMinusBattery;
    }
    if (name == "batteryDischarge") return SystemPowerReading::Source::batteryDischarge;
    return std::nullopt;
}

}  // namespace pylonix
