#include "power/battery_properties.h"

#include <cmath>
#include <limits>

namespace pylonix {

const BatteryProperties* BatteryValue::dictionary() const {
    const auto* nestedRecord = std::get_if<Dictionary>(&storage_);
    return nestedRecord != nullptr && *nestedRecord ? nestedRecord->get() : nullptr;
}

bool BatteryValue::isNumber() const {
    return std::holds_alternative<bool>(storage_) ||
           std::holds_alternative<std::int64_t>(storage_) ||
           std::holds_alternative<std::uint64_t>(storage_) ||
           std::holds_alternative<double>(storage_);
}

bool BatteryValue::operator==(const BatteryValue& other) const {
    const BatteryProperties* mine = dictionary();
    const BatteryProperties* theirs = other.dictionary();
    if (mine != nullptr || theirs != nullptr) {
        return mine != nullptr && theirs != nullptr && *mine == *theirs;
    }
    return storage_ == other.storage_;
}

namespace battery_values {
namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kTwoTo64 = 18446744073709551616.0;

const BatteryValue* find(const BatteryProperties& record, std::string_view key) {
    const auto found = record.find(key);
    return found == record.end() ? nullptr : &found->second;
}

std::optional<double> asDouble(const BatteryValue& value) {
    return std::visit(
        [](const auto& v) -> std::optional<double> {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return v ? 1.0 : 0.0;
            } else if constexpr (std::is_same_v<T, std::int64_t> ||
                                 std::is_same_v<T, std::uint64_t>) {
                return static_cast<double>(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
            } else {
                return std::nullopt;
            }
        },
        value.storage());
}

// A finite double truncated toward zero, when it fits a signed 64-bit integer.
std::optional<std::int64_t> truncatedSigned(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double truncated = std::trunc(value);
    if (truncated < -kTwoTo63 || truncated >= kTwoTo63) return std::nullopt;
    return static_cast<std::int64_t>(truncated);
}

}  // namespace

std::optional<bool> readBool(const BatteryProperties& record, std::string_view key) {
    const BatteryValue* value = find(record, key);
    if (value == nullptr) return std::nullopt;
    if (const auto* flag = std::get_if<bool>(&value->storage())) return *flag;
    if (const auto* d = std::get_if<double>(&value->storage())) {
        // NaN is not a usable number; every other number is true when non-zero.
        if (std::isnan(*d)) return std::nullopt;
        return *d != 0.0;
    }
    if (const auto* i = std::get_if<std::int64_t>(&value->storage())) return *i != 0;
    if (const auto* u = std::get_if<std::uint64_t>(&value->storage())) return *u != 0;
    return std::nullopt;
}

std::optional<double> readDouble(const BatteryProperties& record, std::string_view key) {
    const BatteryValue* value = find(record, key);
    return value == nullptr ? std::nullopt : asDouble(*value);
}

std::optional<std::int64_t> readSignedInteger(const BatteryProperties& record,
                                              std::string_view key) {
    const BatteryValue* value = find(record, key);
    if (value == nullptr) return std::nullopt;
    return std::visit(
        [](const auto& v) -> std::optional<std::int64_t> {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return v ? 1 : 0;
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return v;
            } else if constexpr (std::is_same_v<T, std::uint64_t>) {
                if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                    return std::nullopt;
                }
                return static_cast<std::int64_t>(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return truncatedSigned(v);
            } else {
                return std::nullopt;
            }
        },
        value->storage());
}

std::optional<std::int64_t> decodeAmperage(const BatteryValue& value) {
    // The number as a signed value s and an unsigned value u; nullopt for unusable kinds.
    std::int64_t s = 0;
    std::uint64_t u = 0;
    const BatteryValue::Storage& storage = value.storage();
    if (const auto* flag = std::get_if<bool>(&storage)) {
        s = *flag ? 1 : 0;
        u = static_cast<std::uint64_t>(s);
    } else if (const auto* i = std::get_if<std::int64_t>(&storage)) {
        s = *i;
        u = static_cast<std::uint64_t>(*i);
    } else if (const auto* unsignedValue = std::get_if<std::uint64_t>(&storage)) {
        u = *unsignedValue;
        s = static_cast<std::int64_t>(u);  // modular since C++20
    } else if (const auto* d = std::get_if<double>(&storage)) {
        if (!std::isfinite(*d)) return std::nullopt;
        const double truncated = std::trunc(*d);
        if (truncated < -kTwoTo63 || truncated >= kTwoTo64) return std::nullopt;
        if (truncated >= kTwoTo63) {
            u = static_cast<std::uint64_t>(truncated);
            s = static_cast<std::int64_t>(u);
        } else {
            s = static_cast<std::int64_t>(truncated);
            u = static_cast<std::uint64_t>(s);
        }
    } else {
        return std::nullopt;
    }

    if (s < 0) return s;  // covers u >= 2^63 too: reinterpreted as signed
    if (u >= 2147483648ULL && u <= 4294967295ULL) return s - 4294967296LL;
    if (u >= 32768ULL && u <= 65535ULL) return s - 65536LL;
    return s;
}

std::optional<std::int64_t> readAmperage(const BatteryProperties& record, std::string_view key) {
    const BatteryValue* value = find(record, key);
    return value == nullptr ? std::nullopt : decodeAmperage(*value);
}

const BatteryProperties& nested(const BatteryProperties& record, std::string_view key) {
    static const BatteryProperties kEmpty;
    const BatteryValue* value = find(record, key);
    if (value == nullptr) return kEmpty;
    const BatteryProperties* dictionary = value->dictionary();
    return dictionary != nullptr ? *dictionary : kEmpty;
}

}  // namespace battery_values
}  // namespace pylonix
