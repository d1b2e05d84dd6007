#include "probe_json.h"

#include <gtest/gtest.h>

#include "power/make_snapshot.h"

namespace pylonix::probe {
namespace {

TEST(ProbeJsonTest, RecordKeepsNumberKindsAndNests) {
    const BatteryProperties record = batteryPropertiesFromJson(parseJson(
        R"({"A": -5, "B": 18446744073709551615, "C": 1.5, "D": true, "E": "text", "F": [1],
            "G": null, "H": {"I": 2}})"));
    EXPECT_EQ(record.at("A"), BatteryValue(std::int64_t{-5}));
    EXPECT_EQ(record.at("B"), BatteryValue(std::uint64_t{18446744073709551615ULL}));
    EXPECT_EQ(record.at("C"), BatteryValue(1.5));
    EXPECT_EQ(record.at("D"), BatteryValue(true));
    for (const char* other : {"E", "F", "G"}) {
        EXPECT_EQ(record.at(other), BatteryValue(BatteryValue::Other{})) << other;
    }
    ASSERT_NE(record.at("H").dictionary(), nullptr);
    EXPECT_EQ(
        toJson(record).dump(),
        R"({"A":-5,"B":18446744073709551615,"C":1.5,"D":true,"E":null,"F":null,"G":null,"H":{"I":2}})");
}

TEST(ProbeJsonTest, DeeplyNestedObjectsStopBeingRecords) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += R"({"X":)";
    text += "1";
    for (int i = 0; i < 5000; ++i) text += "}";
    const BatteryProperties record = batteryPropertiesFromJson(parseJson(text));
    const BatteryProperties* level = &record;
    int depth = 0;
    while (const BatteryProperties* next = level->at("X").dictionary()) {
        level = next;
        ++depth;
    }
    EXPECT_EQ(depth, 16);
}

TEST(ProbeJsonTest, SnapshotRoundTripsExactly) {
    PowerSnapshot snapshot = makeSnapshot({{"Voltage", 12345},
                                           {"InstantAmperage", -987},
                                           {"TimeRemaining", 240},
                                           {"CurrentCapacity", 86},
                                           {"MaxCapacity", 100}},
                                          wallClockFromSeconds(1765000000.123456));
    const Json json = toJson(snapshot);
    EXPECT_EQ(json.at("status"), "discharging");
    EXPECT_EQ(json.at("systemPower").at("source"), "batteryDischarge");
    EXPECT_TRUE(json.at("adapterWatts").is_null());
    EXPECT_EQ(powerSnapshotFromJson(parseJson(json.dump()), "snapshot"), snapshot);
}

TEST(ProbeJsonTest, WrongShapesNameTheMember) {
    const auto messageOf = [](const std::string& text) {
        try {
            (void)powerSnapshotFromJson(parseJson(text), "passes[0].snapshot");
        } catch (const InputError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(messageOf("[]"), "passes[0].snapshot must be a JSON object");
    EXPECT_EQ(messageOf("{}"), "missing member passes[0].snapshot.timestamp");
    EXPECT_EQ(messageOf(R"({"timestamp": 1, "batteryLevel": "x"})"),
              "passes[0].snapshot.batteryLevel must be a number");
    EXPECT_EQ(messageOf(R"({"timestamp": 1, "systemPower": {"source": "solar"}})"),
              "passes[0].snapshot.systemPower.source is not a known source");
    EXPECT_EQ(messageOf(R"({"timestamp": 1, "timeRemainingMinutes": 1.5})"),
              "passes[0].snapshot.timeRemainingMinutes must be a whole number within the signed "
              "64-bit range");
    EXPECT_THROW((void)parseJson("{"), InputError);
}

}  // namespace
}  // namespace pylonix::probe
