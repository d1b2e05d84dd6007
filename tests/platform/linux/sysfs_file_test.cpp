#include "platform/linux/sysfs_file.h"

#include <gtest/gtest.h>

#include <fstream>

namespace pylonix::linux_platform {
namespace {

TEST(SysfsIntegerTest, WholeDecimalNumbersOnly) {
    EXPECT_EQ(parseSysfsInteger("8461000\n"), 8461000);
    EXPECT_EQ(parseSysfsInteger(" -1520000 "), -1520000);
    EXPECT_EQ(parseSysfsInteger("+5"), 5);
    EXPECT_EQ(parseSysfsInteger(""), std::nullopt);
    EXPECT_EQ(parseSysfsInteger("\n"), std::nullopt);
    EXPECT_EQ(parseSysfsInteger("12x000"), std::nullopt);
    EXPECT_EQ(parseSysfsInteger("1.5"), std::nullopt);
    EXPECT_EQ(parseSysfsInteger("99999999999999999999999"), std::nullopt);
    EXPECT_EQ(parseSysfsInteger("+-3"), std::nullopt);
}

TEST(SysfsFileTest, ReadsWholeFilesUpToTheLimitAndNothingForMissingOnes) {
    const auto path = std::filesystem::temp_directory_path() / "pylonix_sysfs_file_test";
    {
        std::ofstream file(path);
        file << "Discharging\n";
    }
    EXPECT_EQ(readSysfsFile(path), "Discharging\n");
    EXPECT_EQ(readSysfsFile(path, 4), "Disc");
    EXPECT_EQ(trimSysfsValue(*readSysfsFile(path)), "Discharging");
    std::filesystem::remove(path);
    EXPECT_EQ(readSysfsFile(path), std::nullopt);
    EXPECT_EQ(readSysfsFile(std::filesystem::temp_directory_path()), std::nullopt);  // a directory
}

}  // namespace
}  // namespace pylonix::linux_platform
