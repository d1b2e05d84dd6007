#include "platform/linux/files/outside_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

class OutsideFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("pylonix_outside_file_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path folder_;
};

TEST_F(OutsideFileTest, ReadsWholeFilesWithinTheCapAndRefusesLargerOnesWhole) {
    const auto path = folder_ / "status";
    std::ofstream(path) << "Discharging\n";
    EXPECT_EQ(readOutsideFile(path), "Discharging\n");
    EXPECT_EQ(trimSpace(*readOutsideFile(path)), "Discharging");
    EXPECT_EQ(readOutsideFile(path, 12), "Discharging\n");  // exactly the cap fits

    const auto cut = readOutsideFileChecked(path, 4);
    EXPECT_EQ(cut.content, std::nullopt);  // never the first four bytes
    EXPECT_EQ(cut.error, OutsideFileError::tooLarge);

    const auto big = folder_ / "big";
    std::ofstream(big) << std::string(3 * 4096 + 17, 'x');
    EXPECT_EQ(readOutsideFile(big, 64 * 1024)->size(), 3u * 4096 + 17);
    EXPECT_EQ(readOutsideFileChecked(big, 3 * 4096).error, OutsideFileError::tooLarge);

    const auto empty = folder_ / "empty";
    std::ofstream(empty).flush();
    EXPECT_EQ(readOutsideFile(empty), "");
}

TEST_F(OutsideFileTest, MissingFilesDirectoriesAndFifosAreRefusedWithoutWaiting) {
    EXPECT_EQ(readOutsideFileChecked(folder_ / "missing").error, OutsideFileError::unavailable);
    EXPECT_EQ(readOutsideFileChecked(folder_).error, OutsideFileError::notRegular);

    // A FIFO with no writer would block a plain open for ever; this returns at once.
    const auto fifo = folder_ / "trap.desktop";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto result = readOutsideFileChecked(fifo);
    EXPECT_EQ(result.content, std::nullopt);
    EXPECT_EQ(result.error, OutsideFileError::notRegular);

    EXPECT_EQ(readOutsideFileChecked("/dev/zero").error, OutsideFileError::notRegular);
}

TEST_F(OutsideFileTest, KeptFilesReadTheirNewContentFromTheStartEachTime) {
    const auto path = folder_ / "stat";
    std::ofstream(path) << "first";
    const KeptOutsideFile kept = KeptOutsideFile::open(AT_FDCWD, path.c_str());
    ASSERT_TRUE(kept.isOpen());
    EXPECT_EQ(kept.read(), "first");
    std::ofstream(path) << "second, longer";
    EXPECT_EQ(kept.read(), "second, longer");
    EXPECT_EQ(kept.read(6), std::nullopt);  // over the cap: refused whole

    const auto fifo = folder_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(KeptOutsideFile::open(AT_FDCWD, fifo.c_str()).isOpen());
    EXPECT_FALSE(KeptOutsideFile::open(AT_FDCWD, (folder_ / "missing").c_str()).isOpen());
    EXPECT_EQ(KeptOutsideFile().read(), std::nullopt);
}

TEST_F(OutsideFileTest, PiecesOfAFileWithoutHoldingItWhole) {
    const auto path = folder_ / "environ";
    std::ofstream(path) << std::string(10000, 'x');
    std::size_t total = 0, largest = 0;
    auto count = [&](std::string_view piece) {
        total += piece.size();
        largest = std::max(largest, piece.size());
        return true;
    };
    EXPECT_TRUE(readOutsideFileInPiecesAt(AT_FDCWD, path.c_str(), 1 << 20, 4096, count));
    EXPECT_EQ(total, 10000u);
    EXPECT_EQ(largest, 4096u);
    total = 0;
    EXPECT_FALSE(readOutsideFileInPiecesAt(AT_FDCWD, path.c_str(), 5000, 4096, count));  // cap
    EXPECT_EQ(total, 5000u);
    total = 0;
    EXPECT_TRUE(readOutsideFileInPiecesAt(AT_FDCWD, path.c_str(), 10000, 4096, count));  // at it
    EXPECT_EQ(total, 10000u);
    EXPECT_TRUE(readOutsideFileInPiecesAt(AT_FDCWD, path.c_str(), 1 << 20, 4096,
                                          [](std::string_view) { return false; }));
    const auto fifo = folder_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(readOutsideFileInPiecesAt(AT_FDCWD, fifo.c_str(), 1 << 20, 4096, count));
}

}  // namespace
}  // namespace pylonix::linux_platform
