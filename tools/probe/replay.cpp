#include "replay.h"

#include "apppower/make_application_power_snapshot.h"
#include "apppower/power_balance.h"
#include "apppower_json.h"

namespace pylonix::probe {

std::vector<ReplayPass> replayPassesFromJson(const Json& input) {
    requireObject(input, "");
    const Json& passes = member(input, "passes", "");
    if (!passes.is_array()) throw InputError("passes must be an array");
    std::vector<ReplayPass> result;
    result.reserve(passes.size());
    for (std::size_t i = 0; i < passes.size(); ++i) {
        const std::string where = "passes[" + std::to_string(i) + "]";
        ReplayPass pass;
        pass.applications = runningApplicationIdentitiesFromJson(
            member(passes[i], "applications", where), where + ".applications");
        pass.reading =
            processEnergyReadingFromJson(member(passes[i], "reading", where), where + ".reading");
        if (const auto problem = processEnergyReadingProblem(pass.reading)) {
            throw InputError(where + ".reading: " + *problem);
        }
        const Json& after = member(passes[i], "samplesAfter", where);
        if (!after.is_array()) throw InputError(where + ".samplesAfter must be an array");
        for (std::size_t j = 0; j < after.size(); ++j) {
            pass.samplesAfter.push_back(timedPowerSampleFromJson(
                after[j], where + ".samplesAfter[" + std::to_string(j) + "]"));
        }
        result.push_back(std::move(pass));
    }
    return result;
}

std::vector<ApplicationPowerSnapshot> replay(const std::vector<ReplayPass>& passes) {
    EnergyBaseline baseline;
    std::vector<TimedPowerSample> samples;
    std::vector<ApplicationPowerSnapshot> snapshots;
    snapshots.reserve(passes.size());
    for (const ReplayPass& pass : passes) {
        ApplicationPowerSnapshot snapshot =
            makeApplicationPowerSnapshot(pass.reading, pass.applications, baseline);
        if (pass.reading.powerSample) {
            samples.push_back(*pass.reading.powerSample);
            snapshot.balance = makePowerBalance(samples, snapshot);
            samples.assign(1, *pass.reading.powerSample);
        } else {
            samples.clear();
        }
        samples.insert(samples.end(), pass.samplesAfter.begin(), pass.samplesAfter.end());
        snapshots.push_back(std::move(snapshot));
    }
    return snapshots;
}

Json replayPasses(const Json& input) {
    Json snapshots = Json::array();
    for (const ApplicationPowerSnapshot& snapshot : replay(replayPassesFromJson(input))) {
        snapshots.push_back(toJson(snapshot));
    }
    return Json{{"snapshots", snapshots}};
}

}  // namespace pylonix::probe
