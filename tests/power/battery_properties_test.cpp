#include "power/battery_properties.h"

#include <gtest/gtest.h>

#include <limits>

namespace pylonix {
namespace {

using namespace battery_values;

std::optional<std::int64_t> amperage(BatteryValue value) {
    return decodeAmperage(value);
}

TEST(AmperageDecodingTest, UnsignedPatternsOfNegativeCurrents) {
    EXPECT_EQ(amperage(std::int64_t{65036}), -500);
    EXPECT_EQ(amperage(std::uint64_t{65036}), -500);
    EXPECT_EQ(amperage(std::int64_t{4294966796}), -500);
    EXPECT_EQ(amperage(std::int64_t{-500}), -500);
    EXPECT_EQ(amperage(std::int64_t{32767}), 32767);
    EXPECT_EQ(amperage(std::int64_t{32768}), -32768);
    EXPECT_EQ(amperage(std::int64_t{65536}), 65536);
    EXPECT_EQ(amperage(std::int64_t{2147483647}), 2147483647);
    EXPECT_EQ(amperage(std::int64_t{4294967296}), 4294967296);
    EXPECT_EQ(amperage(std::uint64_t{18446744073709551116ULL}), -500);  // 64-bit pattern
    EXPECT_EQ(amperage(65036.7), -500);                                 // fraction truncated
    EXPECT_EQ(amperage(true), 1);
}

TEST(AmperageDecodingTest, UnrepresentableNumbersYieldNothing) {
    EXPECT_EQ(amperage(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(amperage(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(amperage(1e300), std::nullopt);
    EXPECT_EQ(amperage(-1e19), std::nullopt);
    EXPECT_EQ(amperage(1.8446744073709550e19), -2048);  // just below 2^64: a 64-bit pattern
    EXPECT_EQ(amperage(BatteryValue::Other{}), std::nullopt);
    EXPECT_EQ(amperage(BatteryProperties{}), std::nullopt);
}

TEST(ReadingRulesTest, BooleansNumbersAndUnusableKinds) {
    const BatteryProperties record{{"True", true},
                                   {"Zero", 0},
                                   {"Two", std::uint64_t{2}},
                                   {"Half", 0.5},
                                   {"NaN", std::numeric_limits<double>::quiet_NaN()},
                                   {"Text", BatteryValue(BatteryValue::Other{})},
                                   {"Nested", BatteryProperties{{"X", 1}}}};
    EXPECT_EQ(readBool(record, "True"), true);
    EXPECT_EQ(readBool(record, "Zero"), false);
    EXPECT_EQ(readBool(record, "Two"), true);
    EXPECT_EQ(readBool(record, "Half"), true);
    EXPECT_EQ(readBool(record, "NaN"), std::nullopt);
    EXPECT_EQ(readBool(record, "Text"), std::nullopt);
    EXPECT_EQ(readBool(record, "Missing"), std::nullopt);

    EXPECT_EQ(readDouble(record, "True"), 1.0);
    EXPECT_EQ(readDouble(record, "Two"), 2.0);
    EXPECT_EQ(readDouble(record, "NaN"), std::nullopt);
    EXPECT_EQ(readDouble(record, "Nested"), std::nullopt);

    EXPECT_EQ(readSignedInteger(record, "Half"), 0);
    EXPECT_EQ(readSignedInteger(record, "Text"), std::nullopt);
    EXPECT_EQ(nested(record, "Nested").size(), 1U);
    EXPECT_TRUE(nested(record, "Text").empty());
    EXPECT_TRUE(nested(record, "Missing").empty());
}

TEST(ReadingRulesTest, SignedIntegersOutOfRangeYieldNothing) {
    const BatteryProperties record{{"Big", std::uint64_t{1} << 63},
                                   {"Huge", 1e19},
                                   {"Negative", -7.9},
                                   {"Inf", -std::numeric_limits<double>::infinity()}};
    EXPECT_EQ(readSignedInteger(record, "Big"), std::nullopt);
    EXPECT_EQ(readSignedInteger(record, "Huge"), std::nullopt);
    EXPECT_EQ(readSignedInteger(record, "Negative"), -7);
    EXPECT_EQ(readSignedInteger(record, "Inf"), std::nullopt);
}

}  // namespace
}  // namespace pylonix
