// What the catalogue does with applications folders that are odd on purpose or by accident.
#include "platform/linux/applications/desktop_entry_catalogue.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

void writeEntry(const fs::path& file, const std::string& name) {
    std::ofstream(file) << "[Desktop Entry]\nType=Application\nName=" << name << "\n";
}

// Runs `operation` in a child process as the unprivileged user `nobody` when the tests run as
// root (who reads unreadable folders regardless), else in this process; returns its answer.
std::string runUnprivileged(const std::function<std::string()>& operation) {
    if (::geteuid() != 0) return operation();
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string result = "could not drop privileges";
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) {
            result = operation();
        }
        (void)!::write(pipeEnds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeEnds[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

class DesktopEntryCatalogueTrapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(root_);
        fs::create_directories(applications_);
        fs::permissions(root_, fs::perms::all);  // for `nobody` too
        writeEntry(applications_ / "first.desktop", "First");
    }
    // `rm` walks a deep tree by file descriptors; a path of it would be too long.
    void TearDown() override {
        const std::string command = "rm -rf '" + root_.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    DesktopEntryCatalogue catalogue() const { return DesktopEntryCatalogue({root_, {}, {}, "C"}); }

    std::string ids(const DesktopEntryCatalogue& read) const {
        std::string text;
        for (const CatalogueEntry& entry : read.entries()) text += entry.desktopId + " ";
        return text;
    }

    fs::path root_ = fs::temp_directory_path() / ("pylonix_traps_" + std::to_string(::getpid()));
    fs::path applications_ = root_ / "applications";
};

TEST_F(DesktopEntryCatalogueTrapTest, AFifoNamedLikeAnEntryIsSkipped) {
    ASSERT_EQ(::mkfifo((applications_ / "stuck.desktop").c_str(), 0644), 0);
    writeEntry(applications_ / "zlast.desktop", "Last");
    DesktopEntryCatalogue read = catalogue();
    read.refreshIfChanged();  // would wait for a writer forever with a blocking open
    EXPECT_EQ(ids(read), "first zlast ");
}

TEST_F(DesktopEntryCatalogueTrapTest, AnUnreadableSubfolderIsSkippedAlone) {
    fs::create_directories(applications_ / "locked");
    writeEntry(applications_ / "locked/secret.desktop", "Secret");
    fs::permissions(applications_ / "locked", fs::perms::none);
    fs::create_directories(applications_ / "vendor");
    writeEntry(applications_ / "vendor/tool.desktop", "Tool");
    writeEntry(applications_ / "zlast.desktop", "Last");
    const std::string found = runUnprivileged([this] {
        DesktopEntryCatalogue read = catalogue();
        read.refreshIfChanged();
        return ids(read);
    });
    fs::permissions(applications_ / "locked", fs::perms::owner_all);
    EXPECT_EQ(found, "first vendor-tool zlast ");
}

TEST_F(DesktopEntryCatalogueTrapTest, ADeepFolderChainIsReadOnlyAFewLevelsDown) {
    // 3,000 nested folders, with an entry two levels down and one at the bottom.
    int fd = ::open(applications_.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < 3000; ++level) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        if (level == 1 || level == 2999) {
            const int file = ::openat(fd, "deep.desktop", O_WRONLY | O_CREAT, 0644);
            const std::string text = "[Desktop Entry]\nType=Application\nName=Deep\n";
            ASSERT_EQ(::write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
            ::close(file);
        }
    }
    ::close(fd);
    DesktopEntryCatalogue read = catalogue();
    read.refreshIfChanged();
    EXPECT_EQ(ids(read), "d-d-deep first ");
    // The applications folder and the seven levels below it that were read: what is kept stays
    // flat, whatever the depth.
    EXPECT_EQ(read.watchedDirectoryCount(), 8u);
}

TEST_F(DesktopEntryCatalogueTrapTest, EntriesOutsideTheFoldersAreKeptWithinABound) {
    DesktopEntryCatalogue read = catalogue();
    read.refreshIfChanged();
    fs::create_directories(root_ / "elsewhere");
    const std::string kept = (root_ / "elsewhere/kept.desktop").string();
    writeEntry(kept, "Kept");
    for (int i = 0; i < 1000; ++i) {
        const std::string file = (root_ / "elsewhere" / ("e" + std::to_string(i) + ".desktop"));
        writeEntry(file, "E" + std::to_string(i));
        ASSERT_NE(read.findByPath(file), nullptr);
        if (i % 10 == 0) {
            ASSERT_NE(read.findByPath(kept), nullptr);  // asked for often: it stays
        }
        fs::remove(file);
    }
    EXPECT_EQ(read.outsideEntryCount(), 64u);
    fs::remove(kept);
    ASSERT_NE(read.findByPath(kept), nullptr);  // still held, not read again
    EXPECT_EQ(read.findByPath(kept)->entry.name, "Kept");
}

}  // namespace
}  // namespace pylonix::linux_platform
