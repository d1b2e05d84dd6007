#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "power/battery_properties.h"
#include "power/power_snapshot.h"

namespace pylonix::probe {

// Objects keep the order in which members are written: records print in declaration order.
using Json = nlohmann::ordered_json;

// Input that cannot be used: not JSON, or not of the documented shape. The message is one
// line and says where the input went wrong.
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Parses JSON text; InputError when it is not JSON.
Json parseJson(const std::string& text);

// Typed access to members of input objects; InputError names the member when it is missing
// or of the wrong kind. `where` is a path for the message ("passes[2].reading").
const Json& member(const Json& object, const char* key, const std::string& where);
const Json* optionalMember(const Json& object, const char* key);
bool boolValue(const Json& value, const std::string& where);
double doubleValue(const Json& value, const std::string& where);
std::int64_t signedValue(const Json& value, const std::string& where);
std::uint64_t unsignedValue(const Json& value, const std::string& where);
std::string stringValue(const Json& value, const std::string& where);
void requireObject(const Json& value, const std::string& where);

// An absent optional is null.
template <typename T>
Json optionalJson(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json toJson(const SystemPowerReading& reading);
Json toJson(const PowerSnapshot& snapshot);
Json toJson(const TimedPowerSample& sample);
Json toJson(const BatteryProperties& properties);

SystemPowerReading systemPowerReadingFromJson(const Json& json, const std::string& where);
PowerSnapshot powerSnapshotFromJson(const Json& json, const std::string& where);
TimedPowerSample timedPowerSampleFromJson(const Json& json, const std::string& where);

// A battery controller record from a JSON object: numbers keep their kind, objects nest, and
// every other value is a value of an unusable kind.
BatteryProperties batteryPropertiesFromJson(const Json& object);

}  // namespace pylonix::probe
