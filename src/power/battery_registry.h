#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "power/battery_properties.h"

namespace pylonix {

// The device registry, shaped like the four calls the reader makes: build a matching
// request for a class name, look up the one matching service (0 = none), copy all of its
// properties (0 = success; the out-slot may still hold nothing or a non-dictionary), and
// release every non-zero handle exactly once.
class BatteryRegistry {
  public:
    using Handle = std::uint32_t;
    using ReturnCode = int;
    static constexpr ReturnCode kSuccess = 0;

    struct Matching {
        std::string className;
    };

    virtual ~BatteryRegistry() = default;

    Matching serviceMatching(std::string_view className) const {
        return Matching{std::string(className)};
    }
    virtual Handle getMatchingService(const Matching& matching) const = 0;
    virtual ReturnCode createProperties(Handle service, std::optional<BatteryValue>& out) const = 0;
    virtual void release(Handle service) const = 0;
};

}  // namespace pylonix
