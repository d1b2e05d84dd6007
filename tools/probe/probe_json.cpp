#include "probe_json.h"

#include <cmath>
#include <limits>

namespace pylonix::probe {
namespace {

std::string joined(const std::string& where, const char* key) {
    return where.empty() ? std::string(key) : where + "." + key;
}

// Records nest a level or two; deeper objects are not records the reader can use, and
// refusing them keeps the conversion's recursion bounded.
constexpr int kMaxRecordDepth = 16;

BatteryProperties recordFromJson(const Json& object, int depth);

BatteryValue batteryValueFromJson(const Json& value, int depth) {
    switch (value.type()) {
        case Json::value_t::boolean:
            return BatteryValue(value.get<bool>());
        case Json::value_t::number_integer:
            return BatteryValue(value.get<std::int64_t>());
        case Json::value_t::number_unsigned:
            return BatteryValue(value.get<std::uint64_t>());
        case Json::value_t::number_float:
            return BatteryValue(value.get<double>());
        case Json::value_t::object:
            if (depth >= kMaxRecordDepth) return BatteryValue(BatteryValue::Other{});
            return BatteryValue(recordFromJson(value, depth + 1));
        default:
            return BatteryValue(BatteryValue::Other{});
    }
}

BatteryProperties recordFromJson(const Json& object, int depth) {
    BatteryProperties properties;
    for (const auto& [key, value] : object.items()) {
        properties.emplace(key, batteryValueFromJson(value, depth));
    }
    return properties;
}

}  // namespace

Json parseJson(const std::string& text) {
    Json parsed = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (parsed.is_discarded()) throw InputError("input is not valid JSON");
    return parsed;
}

void requireObject(const Json& value, const std::string& where) {
    if (!value.is_object()) {
        throw InputError((where.empty() ? std::string("input") : where) + " must be a JSON object");
    }
}

const Json& member(const Json& object, const char* key, const std::string& where) {
    requireObject(object, where);
    const auto found = object.find(key);
    if (found == object.end()) throw InputError("missing member " + joined(where, key));
    return *found;
}

const Json* optionalMember(const Json& object, const char* key) {
    if (!object.is_object()) return nullptr;
    const auto found = object.find(key);
    return found == object.end() || found->is_null() ? nullptr : &*found;
}

bool boolValue(const Json& value, const std::string& where) {
    if (!value.is_boolean()) throw InputError(where + " must be true or false");
    return value.get<bool>();
}

double doubleValue(const Json& value, const std::string& where) {
    if (!value.is_number()) throw InputError(where + " must be a number");
    return value.get<double>();
}

std::int64_t signedValue(const Json& value, const std::string& where) {
    if (value.is_number_integer() && !value.is_number_unsigned()) return value.get<std::int64_t>();
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return static_cast<std::int64_t>(u);
        }
    }
    throw InputError(where + " must be a whole number within the signed 64-bit range");
}

std::uint64_t unsignedValue(const Json& value, const std::string& where) {
    if (value.is_number_unsigned()) return value.get<std::uint64_t>();
    throw InputError(where + " must be a whole number from 0 to 18446744073709551615");
}

std::string stringValue(const Json& value, const std::string& where) {
    if (!value.is_string()) throw InputError(where + " must be a string");
    return value.get<std::string>();
}

Json toJson(const SystemPowerReading& reading) {
    return Json{{"watts", optionalJson(reading.watts)},
                {"inputWatts", optionalJson(reading.inputWatts)},
                {"source", reading.source ? Json(toString(*reading.source)) : Json(nullptr)},
                {"unavailableReason", optionalJson(reading.unavailableReason)}};
}

Json toJson(const PowerSnapshot& snapshot) {
    Json json = Json::object();
    json["timestamp"] = secondsSince1970(snapshot.timestamp);
    json["status"] = toString(snapshot.status());
    json["batteryPresent"] = snapshot.batteryPresent;
    json["externalConnected"] = snapshot.externalConnected;
    json["isCharging"] = snapshot.isCharging;
    json["isFullyCharged"] = snapshot.isFullyCharged;
    json["batteryLevel"] = optionalJson(snapshot.batteryLevel);
    json["batteryPowerWatts"] = optionalJson(snapshot.batteryPowerWatts);
    json["voltageVolts"] = optionalJson(snapshot.voltageVolts);
    json["currentAmps"] = optionalJson(snapshot.currentAmps);
    json["adapterWatts"] = optionalJson(snapshot.adapterWatts);
    json["timeRemainingMinutes"] = optionalJson(snapshot.timeRemainingMinutes);
    json["errorMessage"] = optionalJson(snapshot.errorMessage);
    json["systemPower"] = toJson(snapshot.systemPower);
    return json;
}

Json toJson(const TimedPowerSample& sample) {
    return Json{{"uptimeNanoseconds", sample.uptimeNanoseconds},
                {"snapshot", toJson(sample.snapshot)}};
}

Json toJson(const BatteryProperties& properties) {
    Json json = Json::object();
    for (const auto& [key, value] : properties) {
        json[key] = std::visit(
            [](const auto& v) -> Json {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, BatteryValue::Other>) {
                    return nullptr;
                } else if constexpr (std::is_same_v<T, BatteryValue::Dictionary>) {
                    return v ? toJson(*v) : Json::object();
                } else if constexpr (std::is_same_v<T, double>) {
                    return std::isfinite(v) ? Json(v) : Json(nullptr);
                } else {
                    return v;
                }
            },
            value.storage());
    }
    return json;
}

namespace {

template <typename T, typename Read>
std::optional<T> optionalField(const Json& object, const char* key, const std::string& where,
                               Read read) {
    const Json* value = optionalMember(object, key);
    if (value == nullptr) return std::nullopt;
    return read(*value, joined(where, key));
}

std::optional<double> optionalFinite(const Json& object, const char* key,
                                     const std::string& where) {
    return optionalField<double>(object, key, where, doubleValue);
}

}  // namespace

SystemPowerReading systemPowerReadingFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    SystemPowerReading reading;
    reading.watts = optionalFinite(json, "watts", where);
    reading.inputWatts = optionalFinite(json, "inputWatts", where);
    if (const Json* source = optionalMember(json, "source")) {
        const std::string name = stringValue(*source, joined(where, "source"));
        reading.source = powerSourceFromString(name);
        if (!reading.source) throw InputError(joined(where, "source") + " is not a known source");
    }
    reading.unavailableReason =
        optionalField<std::string>(json, "unavailableReason", where, stringValue);
    return reading;
}

PowerSnapshot powerSnapshotFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    PowerSnapshot snapshot;
    snapshot.timestamp = wallClockFromSeconds(
        doubleValue(member(json, "timestamp", where), joined(where, "timestamp")));
    const auto flag = [&](const char* key) {
        const Json* value = optionalMember(json, key);
        return value != nullptr && boolValue(*value, joined(where, key));
    };
    snapshot.batteryPresent = flag("batteryPresent");
    snapshot.externalConnected = flag("externalConnected");
    snapshot.isCharging = flag("isCharging");
    snapshot.isFullyCharged = flag("isFullyCharged");
    snapshot.batteryLevel = optionalFinite(json, "batteryLevel", where);
    snapshot.batteryPowerWatts = optionalFinite(json, "batteryPowerWatts", where);
    snapshot.voltageVolts = optionalFinite(json, "voltageVolts", where);
    snapshot.currentAmps = optionalFinite(json, "currentAmps", where);
    snapshot.adapterWatts = optionalFinite(json, "adapterWatts", where);
    snapshot.timeRemainingMinutes =
        optionalField<std::int64_t>(json, "timeRemainingMinutes", where, signedValue);
    snapshot.errorMessage = optionalField<std::string>(json, "errorMessage", where, stringValue);
    if (const Json* systemPower = optionalMember(json, "systemPower")) {
        snapshot.systemPower =
            systemPowerReadingFromJson(*systemPower, joined(where, "systemPower"));
    }
    return snapshot;
}

TimedPowerSample timedPowerSampleFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    return {
        unsignedValue(member(json, "uptimeNanoseconds", where), joined(where, "uptimeNanoseconds")),
        powerSnapshotFromJson(member(json, "snapshot", where), joined(where, "snapshot"))};
}

BatteryProperties batteryPropertiesFromJson(const Json& object) {
    return recordFromJson(object, 0);
}

}  // namespace pylonix::probe
