#include "power/iokit_power_reader.h"

#include "power/make_snapshot.h"

namespace pylonix {

IOKitPowerReader::IOKitPowerReader(std::shared_ptr<const BatteryRegistry> registry, Clock clock)
    : registry_(std::move(registry)), clock_(std::move(clock)) {}

PowerSnapshot IOKitPowerReader::read() const {
    const WallClockTime timestamp = clock_();

    const BatteryRegistry::Handle service =
        registry_->getMatchingService(registry_->serviceMatching(kBatteryServiceClass));
    if (service == 0) return unavailableSnapshot(kNoBatteryServiceMessage, timestamp);

    std::optional<BatteryValue> properties;
    const BatteryRegistry::ReturnCode result = registry_->createProperties(service, properties);
    const BatteryProperties* record =
        result == BatteryRegistry::kSuccess && properties ? properties->dictionary() : nullptr;
    if (record == nullptr) {
        registry_->release(service);
        return unavailableSnapshot(kBatteryUnreadableMessage, timestamp);
    }

    PowerSnapshot snapshot = makeSnapshot(*record, timestamp);
    registry_->release(service);
    return snapshot;
}

}  // namespace pylonix
