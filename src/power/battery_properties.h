#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace pylonix {

class BatteryValue;

// The battery controller's record: text keys to values, as the registry hands it over.
using BatteryProperties = std::map<std::string, BatteryValue, std::less<>>;

// One value of the record. Numbers keep their kind (signed or unsigned 64-bit integer, or
// floating point) because the amperage decoding depends on it; `Other` stands for any value
// of a kind the reader cannot use (text, data, arrays, ...).
class BatteryValue {
  public:
    struct Other {
        bool operator==(const Other&) const = default;
    };
    using Dictionary = std::shared_ptr<const BatteryProperties>;
    using Storage = std::variant<Other, bool, std::int64_t, std::uint64_t, double, Dictionary>;

    BatteryValue() = default;
    BatteryValue(Other) {}
    BatteryValue(bool value) : storage_(value) {}
    BatteryValue(int value) : storage_(std::int64_t{value}) {}
    BatteryValue(std::int64_t value) : storage_(value) {}
    BatteryValue(std::uint64_t value) : storage_(value) {}
    BatteryValue(double value) : storage_(value) {}
    BatteryValue(BatteryProperties dictionary)
        : storage_(std::make_shared<const BatteryProperties>(std::move(dictionary))) {}

    const Storage& storage() const { return storage_; }
    // The nested record, or null when this value is not a dictionary.
    const BatteryProperties* dictionary() const;
    bool isNumber() const;

    bool operator==(const BatteryValue& other) const;

  private:
    Storage storage_;
};

// Reading rules for single values. A missing key, or a value of an unusable kind, yields
// nothing; so does a number that is not finite or cannot be represented in the result type.
namespace battery_values {

std::optional<bool> readBool(const BatteryProperties& record, std::string_view key);
std::optional<double> readDouble(const BatteryProperties& record, std::string_view key);
// Any number as a signed 64-bit integer, a fraction truncated toward zero.
std::optional<std::int64_t> readSignedInteger(const BatteryProperties& record,
                                              std::string_view key);
// A current in milliamperes, where the controller may report a negative value as an
// unsigned 16- or 32-bit pattern.
std::optional<std::int64_t> readAmperage(const BatteryProperties& record, std::string_view key);
std::optional<std::int64_t> decodeAmperage(const BatteryValue& value);
// The nested record under `key`; an empty record when missing or not a dictionary.
const BatteryProperties& nested(const BatteryProperties& record, std::string_view key);

}  // namespace battery_values
}  // namespace pylonix
