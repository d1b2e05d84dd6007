#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "power/battery_properties.h"
#include "power/power_reading.h"

namespace pylonix::linux_platform {

// What one scan of the power-supply folder found: the battery controller's record, or the
// message that says why there is none.
struct BatteryRecordRead {
    std::optional<BatteryProperties> properties;
    const char* failureMessage = nullptr;  // set exactly when there are no properties

    PowerSnapshot snapshot(WallClockTime timestamp) const;
};

// The battery on Linux: /sys/class/power_supply (or a fixture tree laid out like it) read as
// the battery controller's record, then converted by `makeSnapshot`. Each read lists the folder
// once and reads each node's uevent once, relative to the open folder; only a node without a
// readable uevent is read file by file. Every file goes through the safe reader, so a FIFO or a
// device planted in the tree is skipped, never waited on. No battery node: the no-battery
// message; a node that vanished or cannot be read, with no battery among the rest, or a folder
// that cannot be listed: "无法读取电池数据。". Holds nothing but its root and clock, so
// concurrent reads need no locking.
class SysfsPowerReader final : public PowerReading {
  public:
    using Clock = std::function<WallClockTime()>;

    explicit SysfsPowerReader(std::filesystem::path root, Clock clock = wallClockNow);

    PowerSnapshot read() const override;

    // The record as one scan finds it; what `read` converts.
    BatteryRecordRead readProperties() const;

  private:
    std::filesystem::path root_;
    Clock clock_;
};

}  // namespace pylonix::linux_platform
