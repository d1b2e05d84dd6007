#pragma once

// The JSON forms of the application-power records. Readers check shapes and ranges and throw
// InputError naming the member that cannot be used; they do not check the invariants that span
// several members (the probe commands do, with the records' own checks).

#include <vector>

#include "apppower/application_power_model.h"
#include "apppower/power_balance_snapshot.h"
#include "probe_json.h"

namespace pylonix::probe {

Json toJson(const RunningApplicationIdentity& identity);
Json toJson(const ApplicationProcessMetadata& metadata);
Json toJson(const ProcessEnergyCounter& counter);
Json toJson(const ProcessEnergyReading& reading);
Json toJson(const ApplicationPowerEntry& entry);
Json toJson(const ApplicationPowerSnapshot& snapshot);
Json toJson(const PowerBalanceSnapshot& balance);
Json toJson(const ProcessAttribution& attribution);

RunningApplicationIdentity runningApplicationIdentityFromJson(const Json& json,
                                                              const std::string& where);
std::vector<RunningApplicationIdentity> runningApplicationIdentitiesFromJson(
    const Json& json, const std::string& where);
ProcessMetadataTable processMetadataTableFromJson(const Json& json, const std::string& where);
ProcessEnergyReading processEnergyReadingFromJson(const Json& json, const std::string& where);
ApplicationPowerSnapshot applicationPowerSnapshotFromJson(const Json& json,
                                                          const std::string& where);
PowerBalanceSnapshot powerBalanceSnapshotFromJson(const Json& json, const std::string& where);

}  // namespace pylonix::probe
