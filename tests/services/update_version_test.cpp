#include "services/update_version.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

UpdateVersion version(std::string_view text) {
    const auto parsed = UpdateVersion::parse(text);
    EXPECT_TRUE(parsed.has_value()) << text;
    return parsed.value_or(*UpdateVersion::parse("0"));
}

TEST(UpdateVersionTest, OrdersNumberByNumber) {
    EXPECT_GT(version("1.10"), version("1.9"));
    EXPECT_LT(version("1.9.9"), version("1.10"));
    EXPECT_GT(version("2"), version("1.99.99"));
    EXPECT_EQ(version("1.2"), version("1.2.0.0"));
    EXPECT_LT(version("1.2"), version("1.2.0.1"));
    EXPECT_EQ(version("01.002"), version("1.2"));
    EXPECT_EQ(version(" 3.0\n"), version("3"));
    EXPECT_GT(version("18446744073709551615"), version("18446744073709551614"));
}

TEST(UpdateVersionTest, RejectsAnythingButDottedNumbers) {
    for (const char* text : {"", " ", "1.", ".1", "1..2", "1.2b", "v1.2", "1.2-beta", "-1", "+1",
                             "1 .2", "1,2", "١.٢", "18446744073709551616"}) {
        EXPECT_FALSE(UpdateVersion::parse(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace pylonix
