#pragma once

#include <functional>
#include <memory>

#include "common/platform_texts.h"
#include "power/battery_registry.h"
#include "power/power_reading.h"

namespace pylonix {

inline constexpr const char* kBatteryServiceClass = "AppleSmartBattery";
inline constexpr const char* kNoBatteryServiceMessage = platform_texts::kNoBuiltInBattery;
inline constexpr const char* kBatteryUnreadableMessage = "无法读取电池数据。";

// Reads the battery controller's record through the registry and turns it into a snapshot.
// Keeps no state between calls; safe to call from several threads at once as long as the
// registry is.
class IOKitPowerReader final : public PowerReading {
  public:
    using Clock = std::function<WallClockTime()>;

    explicit IOKitPowerReader(std::shared_ptr<const BatteryRegistry> registry,
                              Clock clock = wallClockNow);

    PowerSnapshot read() const override;

  private:
    std::shared_ptr<const BatteryRegistry> registry_;
    Clock clock_;
};

}  // namespace pylonix
