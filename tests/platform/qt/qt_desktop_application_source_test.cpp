#include "platform/qt/qt_desktop_application_source.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/linux/processes/proc_process_source.h"

namespace pylonix::qt_platform {
namespace {

namespace fs = std::filesystem;

// Processes of four applications whose Icon keys are a theme name, an absolute path, a name no
// theme has and a FIFO; a theme with the name at two sizes that inherits the fallback theme,
// which has the generic executable icon.
class QtDesktopApplicationSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(root_);
        const std::map<std::string, std::string> icons = {
            {"themed", "pylonix-test-icon"},
            {"pathed", (root_ / "picture.png").string()},
            {"plain", "no-such-icon-anywhere"},
            {"stuck", (root_ / "stuck.png").string()}};
        int pid = 41;
        fs::create_directories(root_ / "share/applications");
        for (const auto& [name, icon] : icons) {
            const std::string id = std::to_string(pid++);
            fs::create_directories(root_ / "proc" / id);
            write("proc/" + id + "/stat",
                  id + " (app) S 1 1 1 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 9 0 0");
            write("proc/" + id + "/cgroup", "0::/app.slice/app-" + name + "-" + id + ".scope");
            write("share/applications/" + name + ".desktop",
                  "[Desktop Entry]\nType=Application\nName=" + name + "\nIcon=" + icon);
        }
        write("proc/stat", "cpu 1 2 3 4");
        ASSERT_EQ(::mkfifo((root_ / "stuck.png").c_str(), 0600), 0);
        write(
            "icons/testtheme/index.theme",
            "[Icon Theme]\nName=testtheme\nInherits=basetheme\nDirectories=16x16/apps,48x48/apps\n"
            "\n[16x16/apps]\nSize=16\nType=Fixed\n\n[48x48/apps]\nSize=48\nType=Fixed\n");
        write("icons/basetheme/index.theme",
              "[Icon Theme]\nName=basetheme\nDirectories=apps\n\n[apps]\nSize=32\n");
        image(16, "icons/testtheme/16x16/apps/pylonix-test-icon.png");
        image(48, "icons/testtheme/48x48/apps/pylonix-test-icon.png");
        image(32, "icons/basetheme/apps/application-x-executable.png");
        image(100, "picture.png");
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const std::string& file, const std::string& text) {
        fs::create_directories((root_ / file).parent_path());
        std::ofstream(root_ / file) << text << "\n";
    }
    void image(int size, const std::string& file) {
        fs::create_directories((root_ / file).parent_path());
        QImage picture(size, size, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(QString::fromStdString((root_ / file).string())));
    }

    fs::path root_ = fs::temp_directory_path() / ("pylonix_icons_" + std::to_string(::getpid()));
};

QSize sizeOf(const std::shared_ptr<const ApplicationIcon>& icon) {
    return icon ? static_cast<const QtApplicationIcon&>(*icon).image().size() : QSize();
}

TEST_F(QtDesktopApplicationSourceTest, IconsByThemeNameOrPathLoadedOffTheMainThread) {
    QtDesktopApplicationSource source(
        std::make_unique<linux_platform::DesktopRunningApplications>(
            linux_platform::DesktopEntryLocations{root_ / "share", {}, {}, "C"}),
        {{root_ / "icons"}, "testtheme", "basetheme", {}});
    linux_platform::ProcProcessSource processes(root_ / "proc", "/nonexistent");
    // The sampler's worker does all of this; no Qt application exists at all.
    std::thread worker([&] {
        const auto pass = std::get<ProcessPass>(processes.readPass());
        std::map<std::string, PlatformRunningApplication> byName;
        for (const auto& running : source.runningApplications(pass.processes)) {
            byName[*running.localizedName] = running;
        }
        ASSERT_EQ(byName.size(), 4u);
        EXPECT_EQ(source.applicationId(*byName["themed"].bundlePath), byName["themed"].bundlePath);
        // The theme's size nearest 52 pixels, not scaled up; a large picture scaled down.
        EXPECT_EQ(sizeOf(source.applicationIcon(byName["themed"])), QSize(48, 48));
        EXPECT_EQ(sizeOf(source.applicationIcon(byName["pathed"])), QSize(52, 52));
        EXPECT_EQ(source.applicationIcon(byName["plain"]), nullptr);  // no theme has it
        EXPECT_EQ(source.applicationIcon(byName["stuck"]), nullptr);  // a FIFO: not waited on
        // The file icon of an entry comes from the inherited theme's generic icon.
        EXPECT_EQ(sizeOf(source.fileIcon(*byName["plain"].bundlePath)), QSize(32, 32));
    });
    worker.join();
}

TEST(IconThemeLookupTest, FallbackThemeThenLooseFilesAndNothingForPaths) {
    const fs::path root =
        fs::temp_directory_path() / ("pylonix_lookup_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "icons/hicolor/scalable/apps");
    fs::create_directories(root / "pixmaps");
    std::ofstream(root / "icons/hicolor/index.theme")
        << "[Icon Theme]\nDirectories=scalable/apps\n[scalable/apps]\nSize=64\nMinSize=8\n"
           "MaxSize=512\nType=Scalable\n";
    std::ofstream(root / "icons/hicolor/scalable/apps/vector.svg") << "<svg/>";
    std::ofstream(root / "pixmaps/loose.xpm") << "x";
    linux_platform::IconThemeLookup lookup(
        {{root / "icons"}, "missing-theme", "", {root / "pixmaps"}});
    EXPECT_EQ(lookup.find("vector", 52), root / "icons/hicolor/scalable/apps/vector.svg");
    EXPECT_EQ(lookup.find("loose", 52), root / "pixmaps/loose.xpm");
    EXPECT_EQ(lookup.find("../pixmaps/loose", 52), std::nullopt);
    EXPECT_EQ(lookup.find("absent", 52), std::nullopt);
    fs::remove_all(root);
}

}  // namespace
}  // namespace pylonix::qt_platform
