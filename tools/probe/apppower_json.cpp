#include "apppower_json.h"

#include <limits>
#include <map>
#include <set>

namespace pylonix::probe {
namespace {

std::string at(const std::string& where, const std::string& key) {
    return where.empty() ? key : where + "." + key;
}

std::string index(const std::string& where, std::size_t i) {
    return where + "[" + std::to_string(i) + "]";
}

const Json& arrayMember(const Json& object, const char* key, const std::string& where) {
    const Json& value = member(object, key, where);
    if (!value.is_array()) throw InputError(at(where, key) + " must be an array");
    return value;
}

const Json& objectMember(const Json& object, const char* key, const std::string& where) {
    const Json& value = member(object, key, where);
    requireObject(value, at(where, key));
    return value;
}

std::int32_t processId(const Json& value, const std::string& where, std::int32_t minimum) {
    const std::int64_t id = signedValue(value, where);
    if (id < minimum || id > std::numeric_limits<std::int32_t>::max()) {
        throw InputError(where + " must be a process id from " + std::to_string(minimum) + " to " +
                         std::to_string(std::numeric_limits<std::int32_t>::max()));
    }
    return static_cast<std::int32_t>(id);
}

// A record filed under a process id: the key must be that id in decimal.
void requireKeyOfPid(const std::string& key, std::int32_t pid, const std::string& where) {
    if (key != std::to_string(pid)) {
        throw InputError(where + " is filed under \"" + key + "\" but its pid is " +
                         std::to_string(pid));
    }
}

std::optional<std::string> optionalString(const Json& object, const char* key,
                                          const std::string& where) {
    const Json* value = optionalMember(object, key);
    return value ? std::optional(stringValue(*value, at(where, key))) : std::nullopt;
}

std::optional<std::uint64_t> optionalUnsigned(const Json& object, const char* key,
                                              const std::string& where) {
    const Json* value = optionalMember(object, key);
    return value ? std::optional(unsignedValue(*value, at(where, key))) : std::nullopt;
}

std::optional<double> optionalDouble(const Json& object, const char* key,
                                     const std::string& where) {
    const Json* value = optionalMember(object, key);
    return value ? std::optional(doubleValue(*value, at(where, key))) : std::nullopt;
}

std::int64_t count(const Json& value, const std::string& where) {
    const std::int64_t n = signedValue(value, where);
    if (n < 0) throw InputError(where + " must not be negative");
    return n;
}

template <typename State>
Json stateJson(const State& state) {
    return Json{{"case", toString(state.kind())}, {"message", optionalJson(state.message())}};
}

// The case name and its message, checked to go together.
std::pair<std::string, std::optional<std::string>> stateFromJson(
    const Json& json, const std::string& where, std::initializer_list<const char*> withMessage,
    std::initializer_list<const char*> withoutMessage) {
    requireObject(json, where);
    const std::string name = stringValue(member(json, "case", where), at(where, "case"));
    const std::optional<std::string> message = optionalString(json, "message", where);
    for (const char* kind : withMessage) {
        if (name != kind) continue;
        if (!message) throw InputError(at(where, "message") + " is required for " + name);
        return {name, message};
    }
    for (const char* kind : withoutMessage) {
        if (name == kind) return {name, std::nullopt};
    }
    throw InputError(at(where, "case") + " is not a known case");
}

ApplicationProcessMetadata processMetadataFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    ApplicationProcessMetadata metadata;
    metadata.pid = processId(member(json, "pid", where), at(where, "pid"), 1);
    metadata.parentPID = processId(member(json, "parentPID", where), at(where, "parentPID"), 0);
    metadata.executablePath = optionalString(json, "executablePath", where);
    return metadata;
}

ProcessEnergyCounter counterFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    const auto number = [&](const char* key) {
        return unsignedValue(member(json, key, where), at(where, key));
    };
    return {processId(member(json, "pid", where), at(where, "pid"), 1),
            stringValue(member(json, "applicationID", where), at(where, "applicationID")),
            number("startTime"), number("energyNanojoules"), number("sampledAt")};
}

ApplicationPowerEntry entryFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    ApplicationPowerEntry entry;
    entry.id = stringValue(member(json, "id", where), at(where, "id"));
    entry.name = stringValue(member(json, "name", where), at(where, "name"));
    entry.watts = optionalDouble(json, "watts", where);
    entry.measuredProcessCount =
        count(member(json, "measuredProcessCount", where), at(where, "measuredProcessCount"));
    entry.knownProcessCount =
        count(member(json, "knownProcessCount", where), at(where, "knownProcessCount"));
    if (entry.measuredProcessCount > entry.knownProcessCount) {
        throw InputError(where + " has more measured than known processes");
    }
    if (entry.watts.has_value() != (entry.measuredProcessCount >= 1)) {
        throw InputError(at(where, "watts") +
                         " must be present exactly when a process was measured");
    }
    return entry;
}

}  // namespace

Json toJson(const RunningApplicationIdentity& identity) {
    return Json{{"id", identity.id},
                {"name", identity.name},
                {"processIDs", Json(std::vector<std::int32_t>(identity.processIDs.begin(),
                                                              identity.processIDs.end()))}};
}

Json toJson(const ApplicationProcessMetadata& metadata) {
    return Json{{"pid", metadata.pid},
                {"parentPID", metadata.parentPID},
                {"executablePath", optionalJson(metadata.executablePath)}};
}

Json toJson(const ProcessEnergyCounter& counter) {
    return Json{{"pid", counter.pid},
                {"applicationID", counter.applicationID},
                {"startTime", counter.startTime},
                {"energyNanojoules", counter.energyNanojoules},
                {"sampledAt", counter.sampledAt}};
}

Json toJson(const ProcessEnergyReading& reading) {
    Json counters = Json::object();
    for (const auto& [pid, counter] : reading.counters)
        counters[std::to_string(pid)] = toJson(counter);
    Json known = Json::object();
    for (const auto& [id, n] : reading.knownProcessCounts) known[id] = n;
    return Json{
        {"counters", counters},
        {"knownProcessCounts", known},
        {"errorMessage", optionalJson(reading.errorMessage)},
        {"powerSample", reading.powerSample ? toJson(*reading.powerSample) : Json(nullptr)}};
}

Json toJson(const ApplicationPowerEntry& entry) {
    return Json{{"id", entry.id},
                {"name", entry.name},
                {"watts", optionalJson(entry.watts)},
                {"measuredProcessCount", entry.measuredProcessCount},
                {"knownProcessCount", entry.knownProcessCount}};
}

Json toJson(const PowerBalanceSnapshot& balance) {
    Json context = nullptr;
    if (balance.sourceContext) {
        context = Json{{"externalConnected", balance.sourceContext->externalConnected},
                       {"isCharging", balance.sourceContext->isCharging}};
    }
    return Json{{"state", stateJson(balance.state)},
                {"totalWatts", optionalJson(balance.totalWatts)},
                {"applicationCPUWatts", optionalJson(balance.applicationCPUWatts)},
                {"sourceContext", context},
                {"source", balance.source ? Json(toString(*balance.source)) : Json(nullptr)},
                {"timestamp",
                 balance.timestamp ? Json(secondsSince1970(*balance.timestamp)) : Json(nullptr)},
                {"durationSeconds", optionalJson(balance.durationSeconds)}};
}

Json toJson(const ApplicationPowerSnapshot& snapshot) {
    Json entries = Json::array();
    for (const ApplicationPowerEntry& entry : snapshot.entries) entries.push_back(toJson(entry));
    return Json{{"state", stateJson(snapshot.state)},
                {"entries", entries},
                {"sampleWindowStart", optionalJson(snapshot.sampleWindowStart)},
                {"sampleWindowEnd", optionalJson(snapshot.sampleWindowEnd)},
                {"balance", toJson(snapshot.balance)}};
}

Json toJson(const ProcessAttribution& attribution) {
    // In process-id order, so that the same attribution always prints the same.
    const std::map<std::int32_t, std::string> ordered(attribution.begin(), attribution.end());
    Json json = Json::object();
    for (const auto& [pid, id] : ordered) json[std::to_string(pid)] = id;
    return json;
}

RunningApplicationIdentity runningApplicationIdentityFromJson(const Json& json,
                                                              const std::string& where) {
    requireObject(json, where);
    RunningApplicationIdentity identity;
    identity.id = stringValue(member(json, "id", where), at(where, "id"));
    identity.name = stringValue(member(json, "name", where), at(where, "name"));
    const Json& ids = arrayMember(json, "processIDs", where);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::string place = index(at(where, "processIDs"), i);
        if (!identity.processIDs.insert(processId(ids[i], place, 1)).second) {
            throw InputError(place + " repeats a process id");
        }
    }
    return identity;
}

std::vector<RunningApplicationIdentity> runningApplicationIdentitiesFromJson(
    const Json& json, const std::string& where) {
    if (!json.is_array()) throw InputError(where + " must be an array");
    std::vector<RunningApplicationIdentity> identities;
    identities.reserve(json.size());
    for (std::size_t i = 0; i < json.size(); ++i) {
        identities.push_back(runningApplicationIdentityFromJson(json[i], index(where, i)));
    }
    if (const auto problem = identityListProblem(identities))
        throw InputError(where + ": " + *problem);
    return identities;
}

ProcessMetadataTable processMetadataTableFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    ProcessMetadataTable table;
    table.reserve(json.size());
    for (const auto& [key, value] : json.items()) {
        const std::string place = at(where, key);
        ApplicationProcessMetadata metadata = processMetadataFromJson(value, place);
        requireKeyOfPid(key, metadata.pid, place);
        table.emplace(metadata.pid, std::move(metadata));
    }
    return table;
}

ProcessEnergyReading processEnergyReadingFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    ProcessEnergyReading reading;
    const std::string countersWhere = at(where, "counters");
    for (const auto& [key, value] : objectMember(json, "counters", where).items()) {
        const std::string place = at(countersWhere, key);
        ProcessEnergyCounter counter = counterFromJson(value, place);
        requireKeyOfPid(key, counter.pid, place);
        reading.counters.emplace(counter.pid, std::move(counter));
    }
    const std::string knownWhere = at(where, "knownProcessCounts");
    for (const auto& [id, value] : objectMember(json, "knownProcessCounts", where).items()) {
        reading.knownProcessCounts.emplace(id, count(value, at(knownWhere, id)));
    }
    reading.errorMessage = optionalString(json, "errorMessage", where);
    if (const Json* sample = optionalMember(json, "powerSample")) {
        reading.powerSample = timedPowerSampleFromJson(*sample, at(where, "powerSample"));
    }
    return reading;
}

PowerBalanceSnapshot powerBalanceSnapshotFromJson(const Json& json, const std::string& where) {
    requireObject(json, where);
    using State = PowerBalanceSnapshot::State;
    PowerBalanceSnapshot balance;
    const auto [name, message] =
        stateFromJson(member(json, "state", where), at(where, "state"),
                      {"unavailable", "inconsistent"}, {"collecting", "available"});
    balance.state = name == "unavailable"    ? State::unavailable(*message)
                    : name == "inconsistent" ? State::inconsistent(*message)
                    : name == "collecting"   ? State::collecting()
                                             : State::available();
    balance.totalWatts = optionalDouble(json, "totalWatts", where);
    balance.applicationCPUWatts = optionalDouble(json, "applicationCPUWatts", where);
    if (const Json* context = optionalMember(json, "sourceContext")) {
        const std::string place = at(where, "sourceContext");
        balance.sourceContext = PowerSourceContext{
            boolValue(member(*context, "externalConnected", place), at(place, "externalConnected")),
            boolValue(member(*context, "isCharging", place), at(place, "isCharging"))};
    }
    if (const auto source = optionalString(json, "source", where)) {
        balance.source = powerSourceFromString(*source);
        if (!balance.source) throw InputError(at(where, "source") + " is not a known source");
    }
    if (const auto seconds = optionalDouble(json, "timestamp", where)) {
        balance.timestamp = wallClockFromSeconds(*seconds);
    }
    balance.durationSeconds = optionalDouble(json, "durationSeconds", where);
    return balance;
}

ApplicationPowerSnapshot applicationPowerSnapshotFromJson(const Json& json,
                                                          const std::string& where) {
    requireObject(json, where);
    using State = ApplicationPowerSnapshot::State;
    ApplicationPowerSnapshot snapshot;
    const auto [name, message] = stateFromJson(member(json, "state", where), at(where, "state"),
                                               {"unavailable"}, {"collecting", "available"});
    snapshot.state = name == "unavailable"  ? State::unavailable(*message)
                     : name == "collecting" ? State::collecting()
                                            : State::available();
    const Json& entries = arrayMember(json, "entries", where);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        snapshot.entries.push_back(entryFromJson(entries[i], index(at(where, "entries"), i)));
    }
    snapshot.sampleWindowStart = optionalUnsigned(json, "sampleWindowStart", where);
    snapshot.sampleWindowEnd = optionalUnsigned(json, "sampleWindowEnd", where);
    if (snapshot.state.kind() == State::Case::unavailable &&
        (!snapshot.entries.empty() || snapshot.sampleWindowStart || snapshot.sampleWindowEnd)) {
        throw InputError(where + " is unavailable and so has no entries and no window");
    }
    if (const Json* balance = optionalMember(json, "balance")) {
        snapshot.balance = powerBalanceSnapshotFromJson(*balance, at(where, "balance"));
    }
    return snapshot;
}

}  // namespace pylonix::probe
