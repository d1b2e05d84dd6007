#include "platform/linux/login_item/xdg_autostart_login_item.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>

#include "platform/linux/login_item/autostart_entry.h"
#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

std::string osDescription(int error) {
    return std::generic_category().message(error);
}

class XdgAutostartLoginItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("pylonix-autostart-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    static void write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::size_t fileCount(const fs::path& directory) {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(directory)) ++count;
        return count;
    }

    fs::path root;
};

TEST_F(XdgAutostartLoginItemTest, RegisterCreatesTheFolderAndAnEntryThatStartsTheProgram) {
    const fs::path folder = root / "config" / "autostart";
    XdgAutostartLoginItem item(folder, "/opt/Pylonix Apps/pylonix");
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);

    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.entryPath(), folder / "pylonix.desktop");
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
    const auto contents = readOutsideFile(item.entryPath(), 65536);
    ASSERT_TRUE(contents);
    EXPECT_NE(contents->find("[Desktop Entry]\nType=Application\n"), std::string::npos);
    EXPECT_NE(contents->find("\nExec=\"/opt/Pylonix Apps/pylonix\"\n"), std::string::npos);
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fileCount(folder), 1u);  // no temporary file left behind

    // Registering again, and unregistering twice, succeed.
    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.unregisterItem(), std::nullopt);
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    EXPECT_FALSE(fs::exists(item.entryPath()));
    EXPECT_EQ(item.unregisterItem(), std::nullopt);
}

TEST_F(XdgAutostartLoginItemTest, AnEntrySwitchedOffIsNotRegisteredAndRegisterReplacesIt) {
    XdgAutostartLoginItem item(root, "pylonix");
    write(item.entryPath(), "[Desktop Entry]\nExec=pylonix\nHidden=true\n");
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    write(item.entryPath(), "[Desktop Entry]\nExec=pylonix\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);

    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
}

TEST_F(XdgAutostartLoginItemTest, AFileWhereTheFolderShouldBeGivesTheSystemsDescription) {
    // Tests run as root here, where permission bits do not stop writes; a file standing in
    // place of the folder fails for every user.
    const fs::path folder = root / "autostart";
    write(folder, "not a folder");
    XdgAutostartLoginItem item(folder, "pylonix");
    EXPECT_EQ(item.registerItem(), osDescription(ENOTDIR));
    EXPECT_EQ(item.unregisterItem(), osDescription(ENOTDIR));
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);

    // A file in place of a parent folder.
    XdgAutostartLoginItem nested(folder / "deeper", "pylonix");
    EXPECT_EQ(nested.registerItem(), osDescription(ENOTDIR));
}

TEST_F(XdgAutostartLoginItemTest, AFolderThatCannotBeCreatedGivesTheSystemsDescription) {
    // Nothing can create folders inside /proc, not even root.
    XdgAutostartLoginItem item("/proc/pylonix-test/autostart", "pylonix");
    EXPECT_EQ(item.registerItem(), osDescription(ENOENT));
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
}

// Runs `operation` in a child process as an unprivileged user when the tests run as root (who
// writes into read-only folders regardless), else in this process; returns what it returned.
std::string runUnprivileged(const std::function<std::string()>& operation) {
    if (geteuid() != 0) return operation();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::string result = "could not drop privileges";
        if (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0) {
            result = operation();
        }
        (void)!write(pipeEnds[1], result.data(), result.size());
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, n);
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return result;
}

TEST_F(XdgAutostartLoginItemTest, AReadOnlyFolderGivesTheSystemsDescription) {
    XdgAutostartLoginItem item(root, "pylonix");
    ASSERT_EQ(item.registerItem(), std::nullopt);
    fs::permissions(root, fs::perms::owner_read | fs::perms::owner_exec |
                              fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    const std::string outcome = runUnprivileged([&] {
        return item.unregisterItem().value_or("removed") + "|" +
               item.registerItem().value_or("written") + "|" + toString(item.status());
    });
    fs::permissions(root, fs::perms::owner_all);
    EXPECT_EQ(outcome, osDescription(EACCES) + "|" + osDescription(EACCES) + "|enabled");
    EXPECT_EQ(fileCount(root), 1u);
}

TEST(DefaultAutostartDirectoryTest, FollowsXdgConfigHomeWhenAbsolute) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string savedValue = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/tmp/config-home", 1);
    EXPECT_EQ(defaultAutostartDirectory(), fs::path("/tmp/config-home/autostart"));
    setenv("HOME", "/home/someone", 1);
    for (const char* ignored : {"", "relative/config"}) {
        setenv("XDG_CONFIG_HOME", ignored, 1);
        EXPECT_EQ(defaultAutostartDirectory(), fs::path("/home/someone/.config/autostart"));
    }
    if (saved) {
        setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

TEST(AutostartEntryTest, ReadsTheSwitchesOfTheMainGroupOnly) {
    EXPECT_TRUE(isAutostartEntryEnabled("[Desktop Entry]\nExec=pylonix\n"));
    EXPECT_TRUE(isAutostartEntryEnabled(""));
    EXPECT_FALSE(isAutostartEntryEnabled("[Desktop Entry]\nHidden = true\n"));
    EXPECT_FALSE(isAutostartEntryEnabled("[Desktop Entry]\r\nX-GNOME-Autostart-enabled=false\r\n"));
    EXPECT_TRUE(isAutostartEntryEnabled("[Desktop Entry]\nHidden=false\n"));
    EXPECT_TRUE(isAutostartEntryEnabled("[Desktop Entry]\n# Hidden=true\n"));
    EXPECT_TRUE(isAutostartEntryEnabled("[Desktop Entry]\nHidden[de]=true\n"));
    EXPECT_TRUE(isAutostartEntryEnabled("[Desktop Action x]\nHidden=true\n"));
    EXPECT_FALSE(isAutostartEntryEnabled("[Desktop Action x]\n[Desktop Entry]\nHidden=true"));
}

TEST(AutostartEntryTest, QuotesExecArguments) {
    EXPECT_EQ(quoteExecArgument("/usr/bin/pylonix"), "\"/usr/bin/pylonix\"");
    EXPECT_EQ(quoteExecArgument("/a b/100%/$x`\"y\\"), "\"/a b/100%%/\\\\$x\\\\`\\\\\"y\\\\\\\\\"");
}

}  // namespace
}  // namespace pylonix::linux_platform
