#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>

#include "platform/linux/applications/application_unit.h"
#include "platform/linux/applications/desktop_running_applications.h"
#include "platform/linux/processes/proc_process_source.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;
const fs::path kFixtures(PYLONIX_FIXTURES_DIR);

DesktopEntryLocations fixtureLocations(const fs::path& xdg, std::string locale = "zh_CN.UTF-8") {
    return {xdg / "home", {xdg / "local", xdg / "system"}, {xdg / "bin"}, std::move(locale)};
}

TEST(ApplicationUnitDesktopIdsTest, ScopesAndServicesOfLaunchersAndFlatpak) {
    using Ids = std::vector<std::string>;
    EXPECT_EQ(applicationUnitDesktopIds("app-gnome-org.gnome.Terminal-1200.scope"),
              (Ids{"gnome-org.gnome.Terminal", "org.gnome.Terminal"}));
    EXPECT_EQ(applicationUnitDesktopIds("app-gnome-firefox\\x2desr-1299.scope"),
              (Ids{"gnome-firefox-esr", "firefox-esr"}));
    EXPECT_EQ(applicationUnitDesktopIds("app-flatpak-org.example.Notes-77321.scope"),
              (Ids{"flatpak-org.example.Notes", "org.example.Notes"}));
    EXPECT_EQ(applicationUnitDesktopIds("app-org.kde.konsole@3f2a.service"),
              (Ids{"org.kde.konsole"}));
    EXPECT_EQ(applicationUnitDesktopIds("session-2.scope"), Ids{});
    EXPECT_EQ(applicationUnitDesktopIds("app-7.scope"), Ids{});
    EXPECT_EQ(applicationUnitDesktopIds("app-.service"), Ids{});
    EXPECT_EQ(applicationUnitDesktopIds(""), Ids{});
}

TEST(DesktopEntryCatalogueTest, LooksUpByIdAndPathWithPrecedenceAndHiding) {
    const fs::path xdg = kFixtures / "xdg";
    DesktopEntryCatalogue catalogue(fixtureLocations(xdg));
    EXPECT_TRUE(catalogue.entries().empty());  // nothing is read until the first refresh
    catalogue.refreshIfChanged();
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
    EXPECT_EQ(catalogue.findById("editor")->path,
              (xdg / "home/applications/editor.desktop").string());
    EXPECT_EQ(catalogue.findById("nothing"), nullptr);
    EXPECT_EQ(catalogue.findByPath((xdg / "system/applications/website.desktop").string()),
              nullptr);
    EXPECT_EQ(catalogue.findByPath("relative.desktop"), nullptr);
}

// The fixture process table, copied so that the executable link and the launcher variable can
// point into the fixture's own desktop entries wherever the tree is checked out.
class DesktopApplicationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
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

    // Desktop ids by process id, of one pass over the fixture table.
    std::map<std::int32_t, std::string> found() {
        const auto pass = processes_.readPass();
        std::map<std::int32_t, std::string> ids;
        for (const auto& application : list_.list(std::get<ProcessPass>(pass).processes)) {
            ids[application.processIdentifier] = fs::path(*application.bundlePath).stem().string();
        }
        return ids;
    }

    fs::path root_ = fs::temp_directory_path() / ("pylonix_apps_" + std::to_string(::getpid()));
    ProcProcessSource processes_{root_ / "proc", "/nonexistent"};
    DesktopRunningApplications list_{fixtureLocations(root_ / "xdg")};
};

TEST_F(DesktopApplicationsTest, FindsApplicationsByScopeLauncherAndExecutable) {
    EXPECT_EQ(found(), (std::map<std::int32_t, std::string>{
                           {1200, "org.gnome.Terminal"},    // GNOME scope
                           {1210, "org.gnome.Terminal"},    // the shell in the same scope
                           {1300, "firefox-esr"},           // escaped '-' in the id
                           {1400, "org.example.Notes"},     // Flatpak scope
                           {1600, "viewer"},                // launcher variable, its own pid
                           {1700, "desk-clock"},            // executable matched to TryExec
                           {1800, "org.example.Settings"},  // autostart service
                       }));
    // 1500 inherited the editor's variable from another process and is matched by nothing else.
    // An application uninstalled while it runs: the folder changed, the entries are read again,
    // and its process belongs to nothing any more.
    fs::remove(root_ / "xdg/home/applications/viewer.desktop");
    EXPECT_FALSE(found().contains(1600));
}

TEST_F(DesktopApplicationsTest, ALauncherFileThatIsAFifoIsSkipped) {
    const fs::path fifo = root_ / "launched.desktop";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // nobody ever writes into it
    std::ofstream(root_ / "proc/1600/environ")
        << "GIO_LAUNCHED_DESKTOP_FILE=" << fifo.string() << '\0'
        << "GIO_LAUNCHED_DESKTOP_FILE_PID=1600" << '\0';
    const auto applications = found();
    EXPECT_FALSE(applications.contains(1600));
    EXPECT_EQ(applications.at(1300), "firefox-esr");
}

TEST_F(DesktopApplicationsTest, TheCatalogueIsReadAgainOnlyWhenADirectoryChanges) {
    DesktopEntryCatalogue catalogue(fixtureLocations(root_ / "xdg"));
    catalogue.refreshIfChanged();
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
