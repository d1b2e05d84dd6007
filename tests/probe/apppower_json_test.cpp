#include "apppower_json.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "replay.h"

namespace pylonix::probe {
namespace {

Json fixture(const std::string& name) {
    std::ifstream file(std::string(PYLONIX_FIXTURES_DIR) + "/apppower/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return parseJson(text.str());
}

TEST(Replay, RunsPassesAsTheMonitorDoes) {
    const Json output = replayPasses(fixture("replay_three_passes.json"));
    const Json& snapshots = output.at("snapshots");
    ASSERT_EQ(snapshots.size(), 3u);

    // First pass: nothing to pair with, names in localized order.
    EXPECT_EQ(snapshots[0]["state"], (Json{{"case", "collecting"}, {"message", nullptr}}));
    EXPECT_EQ(snapshots[0]["entries"][0]["name"], "Editor 2");
    EXPECT_EQ(snapshots[0]["entries"][1]["name"], "editor 10");  // case ignored, 2 before 10
    EXPECT_EQ(snapshots[0]["balance"]["state"]["case"], "collecting");

    // Second pass: 0.3 W + 0.2 W for Mail, 1 W for the editor, over the same window as the five
    // power samples at 10, 12, 12, 10 and 10 W.
    const Json& second = snapshots[1];
    EXPECT_EQ(second["state"]["case"], "available");
    EXPECT_EQ(second["entries"][0]["watts"], 1.0);
    EXPECT_EQ(second["entries"][1]["watts"], 0.5);
    EXPECT_EQ(second["entries"][1]["measuredProcessCount"], 2);
    EXPECT_EQ(second["entries"][2]["watts"], nullptr);
    EXPECT_EQ(second["balance"]["state"]["case"], "available");
    EXPECT_EQ(second["balance"]["totalWatts"], 11.0);
    EXPECT_EQ(second["balance"]["applicationCPUWatts"], 1.5);
    EXPECT_EQ(second["balance"]["durationSeconds"], 2.0);
    EXPECT_EQ(second["balance"]["source"], "batteryDischarge");

    // Third pass failed: unavailable, and its balance sees no application window.
    const Json& third = snapshots[2];
    EXPECT_EQ(third["state"]["message"], "系统未允许读取其他应用的 CPU 能耗。");
    EXPECT_EQ(third["entries"], Json::array());
    EXPECT_EQ(third["balance"]["state"]["message"],
              "应用与整机尚未形成同一采样窗口，分项暂不可用。");
    EXPECT_EQ(third["balance"]["totalWatts"], 10.0);
}

TEST(Replay, PassWithoutPowerSampleRestartsTheSampleList) {
    Json input = fixture("replay_three_passes.json");
    input["passes"][0]["reading"]["powerSample"] = nullptr;
    const Json output = replayPasses(input);
    EXPECT_EQ(output["snapshots"][0]["sampleWindowEnd"], nullptr);
    EXPECT_EQ(output["snapshots"][1]["sampleWindowStart"], nullptr);
    EXPECT_EQ(output["snapshots"][1]["entries"][0]["watts"], 1.0);  // counters still pair
    // Four samples, but no application window start.
    EXPECT_EQ(output["snapshots"][1]["balance"]["state"]["message"],
              "应用与整机尚未形成同一采样窗口，分项暂不可用。");
}

TEST(Replay, OddButUsableInputGivesTheDefinedOutcomes) {
    Json input = fixture("replay_three_passes.json");
    auto& second = input["passes"][1];
    second["reading"]["counters"]["20"]["energyNanojoules"] = 0u;  // unchanged: 0 W
    second["reading"]["counters"]["11"]["startTime"] = 99u;        // a reused pid
    std::swap(input["passes"][0]["samplesAfter"][0], input["passes"][0]["samplesAfter"][2]);
    const Json output = replayPasses(input);
    const Json& entries = output["snapshots"][1]["entries"];
    EXPECT_EQ(entries[0]["name"], "Mail");
    EXPECT_EQ(entries[0]["watts"], 0.3);
    EXPECT_EQ(entries[0]["measuredProcessCount"], 1);
    EXPECT_EQ(entries[1]["watts"], 0.0);
    EXPECT_EQ(output["snapshots"][1]["balance"]["state"]["case"], "collecting");  // out of order
}

TEST(Replay, UnusableInputIsRefusedWithItsPlace) {
    const auto refusal = [](const std::function<void(Json&)>& spoil) {
        Json input = fixture("replay_three_passes.json");
        spoil(input);
        try {
            replayPasses(input);
        } catch (const InputError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    const auto counter = [](Json& input) -> Json& {
        return input["passes"][1]["reading"]["counters"]["10"];
    };
    EXPECT_EQ(refusal([](Json& in) { in = Json::array(); }), "input must be a JSON object");
    EXPECT_EQ(refusal([](Json& in) { in["passes"] = 3; }), "passes must be an array");
    EXPECT_EQ(refusal([&](Json& in) { counter(in)["energyNanojoules"] = -5; }),
              "passes[1].reading.counters.10.energyNanojoules must be a whole number from 0 to "
              "18446744073709551615");
    EXPECT_EQ(refusal([&](Json& in) { counter(in)["pid"] = 2147483648u; }),
              "passes[1].reading.counters.10.pid must be a process id from 1 to 2147483647");
    EXPECT_EQ(refusal([&](Json& in) { counter(in)["pid"] = 11; }),
              "passes[1].reading.counters.10 is filed under \"10\" but its pid is 11");
    EXPECT_EQ(refusal([&](Json& in) { counter(in)["sampledAt"] = 1u; }),
              "passes[1].reading: the counter of process 11 was sampled at another time than the "
              "others of its pass");
    EXPECT_EQ(refusal([](Json& in) {
                  in["passes"][0]["applications"][1]["id"] = "/Applications/Mail.app";
              }),
              "passes[0].applications: the application id /Applications/Mail.app appears more "
              "than once");
    EXPECT_EQ(refusal([](Json& in) {
                  in["passes"][0]["reading"]["knownProcessCounts"]["/Applications/Mail.app"] = 1;
              }),
              "passes[0].reading: more counters than known processes for /Applications/Mail.app");
    EXPECT_EQ(refusal([](Json& in) { in["passes"][2]["reading"]["powerSample"] = nullptr; }),
              "passes[2].reading: a failed reading lacks its power sample");
    EXPECT_EQ(
        refusal([](Json& in) { in["passes"][0]["samplesAfter"][1]["uptimeNanoseconds"] = 1.5; }),
        "passes[0].samplesAfter[1].uptimeNanoseconds must be a whole number from 0 to "
        "18446744073709551615");
    EXPECT_EQ(refusal([](Json& in) { in["passes"][0].erase("samplesAfter"); }),
              "missing member passes[0].samplesAfter");
}

TEST(ApplicationPowerJson, SnapshotsReadBackToTheSameValue) {
    ApplicationPowerSnapshot snapshot;
    snapshot.state = ApplicationPowerSnapshot::State::available();
    snapshot.entries = {{"/A.app", "A", 0.1 + 0.2, 2, 3}, {"/B.app", "B", std::nullopt, 0, 1}};
    snapshot.sampleWindowStart = 18'446'744'073'709'551'615u;
    snapshot.sampleWindowEnd = 1u;
    snapshot.balance.state = PowerBalanceSnapshot::State::inconsistent("x");
    snapshot.balance.totalWatts = 5.25;
    snapshot.balance.sourceContext = PowerSourceContext{true, false};
    snapshot.balance.source = SystemPowerReading::Source::externalInputMinusBattery;
    snapshot.balance.timestamp = wallClockFromSeconds(1765000000.125);
    snapshot.balance.durationSeconds = 2.0000001;
    const Json json = parseJson(toJson(snapshot).dump());
    EXPECT_EQ(applicationPowerSnapshotFromJson(json, "snapshot"), snapshot);

    Json unavailable = toJson(ApplicationPowerSnapshot::collecting());
    unavailable["state"] = {{"case", "unavailable"}, {"message", nullptr}};
    EXPECT_THROW(applicationPowerSnapshotFromJson(unavailable, "s"), InputError);
    unavailable["state"]["case"] = "done";
    EXPECT_THROW(applicationPowerSnapshotFromJson(unavailable, "s"), InputError);
}

TEST(ApplicationPowerJson, MetadataKeysArePids) {
    const Json metadata = {{"7", {{"pid", 7}, {"parentPID", 1}, {"executablePath", nullptr}}}};
    const ProcessMetadataTable table = processMetadataTableFromJson(metadata, "metadata");
    EXPECT_EQ(table.at(7), (ApplicationProcessMetadata{7, 1, std::nullopt}));
    EXPECT_THROW(processMetadataTableFromJson({{"07", metadata["7"]}}, "metadata"), InputError);
    Json negative = metadata;
    negative["7"]["parentPID"] = -1;
    EXPECT_THROW(processMetadataTableFromJson(negative, "metadata"), InputError);
}

}  // namespace
}  // namespace pylonix::probe
