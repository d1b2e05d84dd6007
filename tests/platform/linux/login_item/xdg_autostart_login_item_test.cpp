#include "platform/linux/login_item/xdg_autostart_login_item.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>

#include "platform/linux/files/outside_file.h"
#include "platform/linux/login_item/autostart_entry.h"
#include "run_unprivileged.h"

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
    const fs::path program = root / "Pylonix Apps" / "pylonix";
    fs::create_directories(program.parent_path());
    write(program, "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_all);
    const fs::path folder = root / "config" / "autostart";
    XdgAutostartLoginItem item(folder, program.string());
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);

    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.entryPath(), folder / "io.github.pylonix.Pylonix.desktop");
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
    const auto contents = readOutsideFile(item.entryPath(), 65536);
    ASSERT_TRUE(contents);
    EXPECT_NE(contents->find("[Desktop Entry]\nType=Application\n"), std::string::npos);
    EXPECT_NE(contents->find("\nExec=\"" + program.string() + "\"\n"), std::string::npos);
    const auto entry = parseAutostartEntry(*contents);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(fs::exists(entry->exec.front()));  // the registered entry's program exists
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fileCount(folder), 1u);  // no temporary file left behind

    // Registering again, and unregistering twice, succeed; switched off, the entry stays,
    // marked hidden.
    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.unregisterItem(), std::nullopt);
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(readOutsideFile(item.entryPath(), 65536), *contents + "Hidden=true\n");
    EXPECT_EQ(item.unregisterItem(), std::nullopt);
    EXPECT_EQ(fileCount(folder), 1u);
}

// An entry that would start nothing never reads as enabled, so the switch never shows ticked
// for it; switching on replaces it with one that starts the program.
TEST_F(XdgAutostartLoginItemTest, AnEntryThatStartsNothingIsNotFound) {
    XdgAutostartLoginItem item(root, "/bin/true");
    const std::string gone = (root / "gone").string();
    for (const std::string& text : std::vector<std::string>{
             "[Desktop Entry]\nType=Application\nExec=" + gone + " --tray\n",
             "[Desktop Entry]\nType=Application\nExec=/bin/true\nTryExec=" + gone + "\n",
             "[Desktop Entry]\nType=Application\nExec=pylonix-no-such-program\n", std::string(),
             std::string("\x7f"
                         "ELF\x02\x01\x01\0\0garbage",
                         16),
             std::string("[Desktop Entry]\nExec=/bin/true\n"),                         // no type
             std::string("[Desktop Entry]\nType=Application\nName=x\n"),               // no program
             std::string("[Desktop Entry]\nType=Application\nExec=\"/bin/true\n")}) {  // bad quote
        write(item.entryPath(), text);
        EXPECT_EQ(item.status(), LoginItemStatus::notFound) << text;
        EXPECT_EQ(item.unregisterItem(), std::nullopt) << text;
        EXPECT_EQ(item.status(), LoginItemStatus::notFound) << text;
        EXPECT_EQ(item.registerItem(), std::nullopt) << text;
        EXPECT_EQ(item.status(), LoginItemStatus::enabled) << text;
        EXPECT_EQ(readOutsideFile(item.entryPath(), 65536), makeAutostartEntry("/bin/true"));
    }
    // Not a regular file.
    fs::remove(item.entryPath());
    fs::create_directory(item.entryPath());
    EXPECT_EQ(item.status(), LoginItemStatus::notFound);
    fs::remove(item.entryPath());
    fs::create_symlink(root / "dangling", item.entryPath());
    EXPECT_EQ(item.status(), LoginItemStatus::notFound);
}

TEST_F(XdgAutostartLoginItemTest, TheUsersOwnEntrySurvivesSwitchingOnAndOff) {
    XdgAutostartLoginItem item(root, "/usr/bin/pylonix");
    const std::string head =
        "# written by hand\n"
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=My Pylonix\n"
        "Exec=/bin/true --tray \"a b\"\n"
        "X-My-Key=1\n";
    const std::string tail =
        "\n[Desktop Action other]\n"
        "Exec=/bin/false\n"
        "Hidden=true\n";
    write(item.entryPath(), head + "Hidden=true\nX-GNOME-Autostart-enabled=false\n" + tail);
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);

    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
    EXPECT_EQ(readOutsideFile(item.entryPath(), 65536), head + tail);

    EXPECT_EQ(item.unregisterItem(), std::nullopt);
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(readOutsideFile(item.entryPath(), 65536), head + "Hidden=true\n" + tail);
    EXPECT_EQ(fileCount(root), 1u);

    // Switched off with Hidden=false first: the later line wins both ways.
    write(item.entryPath(), head + "Hidden=false\nHidden=true\n");
    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(readOutsideFile(item.entryPath(), 65536), head + "Hidden=false\n");
    EXPECT_EQ(item.status(), LoginItemStatus::enabled);
}

TEST_F(XdgAutostartLoginItemTest, ASwitchedOffEntryWhoseProgramIsGoneIsReplaced) {
    XdgAutostartLoginItem item(root, "/bin/true");
    write(item.entryPath(),
          "[Desktop Entry]\nType=Application\nExec=/usr/local/bin/pylonix-gone\nHidden=true\n");
    EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(readOutsideFile(item.entryPath(), 65536), makeAutostartEntry("/bin/true"));
}

TEST(RunningExecutableTest, IsTheResolvedPathOfThisProgram) {
    EXPECT_EQ(runningExecutable(), fs::canonical("/proc/self/exe").string());
}

TEST_F(XdgAutostartLoginItemTest, AFileWhereTheFolderShouldBeGivesTheSystemsDescription) {
    // Tests run as root here, where permission bits do not stop writes; a file standing in
    // place of the folder fails for every user.
    const fs::path folder = root / "autostart";
    write(folder, "not a folder");
    XdgAutostartLoginItem item(folder, "pylonix");
    EXPECT_EQ(item.registerItem(), osDescription(ENOTDIR));
    EXPECT_EQ(item.unregisterItem(), std::nullopt);  // no entry: nothing to switch off
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

TEST_F(XdgAutostartLoginItemTest, AReadOnlyFolderGivesTheSystemsDescription) {
    XdgAutostartLoginItem item(root, "/bin/true");
    ASSERT_EQ(item.registerItem(), std::nullopt);
    fs::permissions(root, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
    const std::string outcome = runUnprivileged([&] {
        return item.unregisterItem().value_or("removed") + "|" +
               item.registerItem().value_or("written") + "|" + toString(item.status());
    });
    fs::permissions(root, fs::perms::owner_all);
    // Switching off cannot write; switching on finds it on already.
    EXPECT_EQ(outcome, osDescription(EACCES) + "|written|enabled");
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

TEST(AutostartEntryTest, ReadsTheSwitchesOfTheMainGroupOnlyAndTheLaterLineWins) {
    const auto switchedOff = [](const std::string& lines) {
        const auto entry =
            parseAutostartEntry("[Desktop Entry]\nType=Application\nExec=pylonix\n" + lines);
        return entry ? std::optional(entry->switchedOff) : std::nullopt;
    };
    EXPECT_EQ(switchedOff(""), false);
    EXPECT_EQ(switchedOff("Hidden = true\n"), true);
    EXPECT_EQ(switchedOff("X-GNOME-Autostart-enabled=false\r\n"), true);
    EXPECT_EQ(switchedOff("Hidden=false\n"), false);
    EXPECT_EQ(switchedOff("Hidden=true\nHidden=false\n"), false);
    EXPECT_EQ(switchedOff("Hidden=false\nHidden=true\n"), true);
    EXPECT_EQ(switchedOff("X-GNOME-Autostart-enabled=false\nX-GNOME-Autostart-enabled=true\n"),
              false);
    EXPECT_EQ(switchedOff("# Hidden=true\n"), false);
    EXPECT_EQ(switchedOff("Hidden[de]=true\n"), false);
    EXPECT_EQ(switchedOff("[Desktop Action x]\nHidden=true\n"), false);
    EXPECT_FALSE(parseAutostartEntry(""));
    EXPECT_FALSE(parseAutostartEntry("[Desktop Action x]\nType=Application\nExec=pylonix\n"));
    const auto quoted =
        parseAutostartEntry("[Desktop Entry]\nType=Application\nExec=\"/a b/p\" --tray %U\n");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->exec, (std::vector<std::string>{"/a b/p", "--tray"}));
}

TEST(AutostartEntryTest, SwitchingOffMarksTheEndOfTheMainGroup) {
    EXPECT_EQ(switchOffAutostartEntry("[Desktop Entry]\nExec=p\nHidden=false\n[X]\nHidden=false"),
              "[Desktop Entry]\nExec=p\nHidden=true\n[X]\nHidden=false\n");
    EXPECT_EQ(switchOffAutostartEntry("[Desktop Entry]\nExec=p"),
              "[Desktop Entry]\nExec=p\nHidden=true\n");
    EXPECT_EQ(
        switchOnAutostartEntry("[Desktop Entry]\nHidden=true\nX-GNOME-Autostart-enabled=false\n"
                               "X-GNOME-Autostart-enabled=true\n[X]\nHidden=true\n"),
        "[Desktop Entry]\nX-GNOME-Autostart-enabled=true\n[X]\nHidden=true\n");
}

TEST(AutostartEntryTest, TheEntryWrittenForAnyPathStartsThatPath) {
    for (const std::string path :
         {"/usr/bin/pylonix", "/opt/a b/100%/$x`\"y\\", "/a\nb\tc\rd", "/with \\s and \\n"}) {
        const auto entry = parseAutostartEntry(makeAutostartEntry(path));
        ASSERT_TRUE(entry) << path;
        EXPECT_FALSE(entry->switchedOff);
        EXPECT_EQ(entry->exec, std::vector<std::string>{path});
    }
}

TEST(AutostartEntryTest, QuotesExecArguments) {
    EXPECT_EQ(quoteExecArgument("/usr/bin/pylonix"), "\"/usr/bin/pylonix\"");
    EXPECT_EQ(quoteExecArgument("/a b/100%/$x`\"y\\"), "\"/a b/100%%/\\\\$x\\\\`\\\\\"y\\\\\\\\\"");
}

}  // namespace
}  // namespace pylonix::linux_platform
