#include "platform/linux/applications/desktop_applications.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <map>

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;
const fs::path kFixtures(PYLONIX_FIXTURES_DIR);

DesktopEntryLocations fixtureLocations(const fs::path& xdg, std::string locale = "zh_CN.UTF-8") {
    return {xdg / "home", {xdg / "local", xdg / "system"}, {xdg / "bin"}, std::move(locale)};
}

TEST(DesktopIdsFromCgroupTest, ScopesAndServicesOfLaunchersAndFlatpak) {
    using Ids = std::vector<std::string>;
    EXPECT_EQ(desktopIdsFromCgroup("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                                   "app-gnome-org.gnome.Terminal-1200.scope\n"),
              (Ids{"gnome-org.gnome.Terminal", "org.gnome.Terminal"}));
    EXPECT_EQ(desktopIdsFromCgroup("0::/user.slice/u/app.slice/app-gnome-firefox\\x2desr-1299.scope"),
              (Ids{"gnome-firefox-esr", "firefox-esr"}));
    EXPECT_EQ(desktopIdsFromCgroup("0::/u/app.slice/app-flatpak-org.example.Notes-77321.scope\n"),
              (Ids{"flatpak-org.example.Notes", "org.example.Notes"}));
    EXPECT_EQ(desktopIdsFromCgroup("0::/u/app.slice/app-org.kde.konsole@3f2a.service\n"),
              (Ids{"org.kde.konsole"}));
    // The innermost application unit counts; a sub-cgroup below it does not hide it.
    EXPECT_EQ(desktopIdsFromCgroup("0::/u/app.slice/app-outer.service/app-inner-5.scope/tab\n"),
              (Ids{"inner"}));
    // cgroup v1 lines work the same way.
    EXPECT_EQ(desktopIdsFromCgroup("4:memory:/\n1:name=systemd:/u/app-editor-77.scope\n"),
              (Ids{"editor"}));
    EXPECT_EQ(desktopIdsFromCgroup("0::/user.slice/user-1000.slice/session-2.scope\n"), Ids{});
    EXPECT_EQ(desktopIdsFromCgroup("0::/u/app.slice/app-7.scope\n0::/u/app-.service\ngarbage"),
              Ids{});
}

TEST(LaunchedDesktopFileTest, OnlyTheLaunchedProcessItself) {
    using namespace std::string_literals;
    const std::string environ =
        "HOME=/h\0GIO_LAUNCHED_DESKTOP_FILE=/a/b.desktop\0GIO_LAUNCHED_DESKTOP_FILE_PID=42\0"s;
    EXPECT_EQ(launchedDesktopFile(environ, 42), "/a/b.desktop");
    EXPECT_EQ(launchedDesktopFile(environ, 43), std::nullopt);  // an inheriting child
    EXPECT_EQ(launchedDesktopFile("GIO_LAUNCHED_DESKTOP_FILE=/a/b.desktop"s, 7), "/a/b.desktop");
    EXPECT_EQ(launchedDesktopFile("GIO_LAUNCHED_DESKTOP_FILE=\0"s, 7), std::nullopt);
    EXPECT_EQ(launchedDesktopFile(""s, 7), std::nullopt);
}

TEST(DesktopEntryCatalogueTest, LooksUpByIdPathAndExecutableWithPrecedenceAndHiding) {
    const fs::path xdg = kFixtures / "xdg";
    DesktopEntryCatalogue catalogue(fixtureLocations(xdg));
    std::map<std::string, std::string> names;
    for (const auto& entry : catalogue.entries()) names[entry.desktopId] = entry.entry.name;
    // Not here: the user's Hidden copy hides the system's hidden-app for good; a Link; a file
    // without the main group.
    EXPECT_EQ(names, (std::map<std::string, std::string>{
                         {"desk-clock", "Desk Clock"},
                         {"editor", "Editor (mine)"},
                         {"firefox-esr", "Firefox ESR"},
                         {"kde-konsole", "Konsole"},
                         {"org.example.Notes", "Notes Plus"},
                         {"org.example.Settings", "Settings Helper"},
                         {"org.gnome.Terminal", "终端"},
                         {"top", "Top"},
                     }));
    EXPECT_EQ(catalogue.findById("editor")->path, (xdg / "home/applications/editor.desktop").string());
    EXPECT_EQ(catalogue.findById("nothing"), nullptr);
    const std::string clock = fs::canonical(xdg / "bin/desk-clock").string();
    ASSERT_NE(catalogue.findByExecutable(clock), nullptr);
    EXPECT_EQ(catalogue.findByExecutable(clock)->desktopId, "desk-clock");  // not the terminal one
    EXPECT_EQ(catalogue.findByPath((xdg / "system/applications/website.desktop").string()), nullptr);
    EXPECT_EQ(catalogue.findByPath("relative.desktop"), nullptr);
}

// The fixture process table, copied so that the executable link and the launcher variable can
// point into the fixture's own desktop entries wherever the tree is checked out.
class DesktopApplicationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("pylonix_apps_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        fs::copy(kFixtures / "proc_table", root_ / "proc",
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        fs::copy(kFixtures / "xdg", root_ / "xdg", fs::copy_options::recursive);
        fs::create_symlink(fs::canonical(root_ / "xdg/bin/desk-clock"), root_ / "proc/1700/exe");
        const std::string viewer = (root_ / "xdg/home/applications/viewer.desktop").string();
        std::ofstream(root_ / "proc/1600/environ")
            << "LANG=zh_CN.UTF-8" << '\0' << "GIO_LAUNCHED_DESKTOP_FILE=" << viewer << '\0'
            << "GIO_LAUNCHED_DESKTOP_FILE_PID=1600" << '\0';
        std::ofstream(viewer) << "[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer\n";
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(DesktopApplicationsTest, FindsApplicationsByScopeLauncherAndExecutable) {
    const ProcDirectory proc(root_ / "proc");
    DesktopEntryCatalogue catalogue(fixtureLocations(root_ / "xdg"));
    const auto processes = proc.userProcesses(::geteuid());
    ASSERT_TRUE(processes);
    std::map<std::int32_t, std::string> found;
    for (const auto& process : findDesktopApplicationProcesses(*processes, proc, catalogue)) {
        found[process.pid] = process.application->desktopId;
    }
    EXPECT_EQ(found, (std::map<std::int32_t, std::string>{
                         {1200, "org.gnome.Terminal"},    // GNOME scope
                         {1210, "org.gnome.Terminal"},    // the shell in the same scope
                         {1300, "firefox-esr"},           // escaped '-' in the id
                         {1400, "org.example.Notes"},     // Flatpak scope
                         {1600, "viewer"},                // launcher variable, its own pid
                         {1700, "desk-clock"},            // executable matched to TryExec
                         {1800, "org.example.Settings"},  // autostart service
                     }));
    // 1500 inherited the editor's variable from another process and is matched by nothing else.
}

TEST_F(DesktopApplicationsTest, TheCatalogueIsReadAgainOnlyWhenADirectoryChanges) {
    DesktopEntryCatalogue catalogue(fixtureLocations(root_ / "xdg"));
    const std::size_t before = catalogue.entries().size();
    catalogue.refreshIfChanged();
    EXPECT_EQ(catalogue.entries().size(), before);
    fs::create_directories(root_ / "xdg/local/applications");
    std::ofstream(root_ / "xdg/local/applications/new.desktop")
        << "[Desktop Entry]\nType=Application\nName=New\n";
    catalogue.refreshIfChanged();
    EXPECT_EQ(catalogue.entries().size(), before + 1);
    EXPECT_NE(catalogue.findById("new"), nullptr);
}

}  // namespace
}  // namespace pylonix::linux_platform
