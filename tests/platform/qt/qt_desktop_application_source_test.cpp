#include "platform/qt/qt_desktop_application_source.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <fstream>

namespace pylonix::qt_platform {
namespace {

namespace fs = std::filesystem;

// A process table with three application processes, desktop entries whose Icon keys are a
// theme name, an absolute path and a name the theme lacks, and a one-icon theme.
class QtDesktopApplicationSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("pylonix_icons_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        for (const char* pid : {"41", "42", "43"}) {
            fs::create_directories(root_ / "proc" / pid);
            write("proc/" + std::string(pid) + "/stat",
                  std::string(pid) + " (app) S 1 1 1 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 9 0 0");
        }
        write("proc/stat", "cpu 1 2 3 4");
        write("proc/41/cgroup", "0::/app.slice/app-themed-41.scope");
        write("proc/42/cgroup", "0::/app.slice/app-pathed-42.scope");
        write("proc/43/cgroup", "0::/app.slice/app-plain-43.scope");
        fs::create_directories(root_ / "share/applications");
        write("share/applications/themed.desktop",
              "[Desktop Entry]\nType=Application\nName=Themed\nIcon=pylonix-test-icon\n");
        write("share/applications/pathed.desktop",
              "[Desktop Entry]\nType=Application\nName=Pathed\nIcon=" +
                  (root_ / "picture.png").string() + "\n");
        write("share/applications/plain.desktop",
              "[Desktop Entry]\nType=Application\nName=Plain\nIcon=no-such-icon-anywhere\n");
        fs::create_directories(root_ / "icons/testtheme/16x16/apps");
        write("icons/testtheme/index.theme",
              "[Icon Theme]\nName=testtheme\nDirectories=16x16/apps\n\n[16x16/apps]\nSize=16\n"
              "Type=Fixed\n");
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(QString::fromStdString(
            (root_ / "icons/testtheme/16x16/apps/pylonix-test-icon.png").string())));
        ASSERT_TRUE(image.save(QString::fromStdString((root_ / "picture.png").string())));
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const std::string& file, const std::string& text) {
        std::ofstream(root_ / file) << text << "\n";
    }

    fs::path root_;
};

TEST_F(QtDesktopApplicationSourceTest, ThemeNamesPathsAndTheFileIconInTheirPlace) {
    int argc = 1;
    char name[] = "qt_desktop_application_source_test";
    char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QIcon::setThemeSearchPaths({QString::fromStdString((root_ / "icons").string())});
    QIcon::setThemeName(QStringLiteral("testtheme"));

    QtDesktopApplicationSource source(std::make_unique<linux_platform::DesktopRunningApplications>(
        root_ / "proc", linux_platform::DesktopEntryLocations{root_ / "share", {}, {}, "C"},
        ::geteuid()));
    std::map<std::string, PlatformRunningApplication> byName;
    for (const auto& running : source.runningApplications()) byName[*running.localizedName] = running;
    ASSERT_EQ(byName.size(), 3u);
    EXPECT_EQ(source.applicationId(*byName["Themed"].bundlePath), byName["Themed"].bundlePath);

    const auto themed = source.applicationIcon(byName["Themed"]);
    ASSERT_NE(themed, nullptr);
    EXPECT_FALSE(static_cast<const QtApplicationIcon&>(*themed).icon().isNull());
    const auto pathed = source.applicationIcon(byName["Pathed"]);
    ASSERT_NE(pathed, nullptr);
    EXPECT_FALSE(static_cast<const QtApplicationIcon&>(*pathed).icon().pixmap(16).isNull());
    EXPECT_EQ(source.applicationIcon(byName["Plain"]), nullptr);  // the theme lacks it
    EXPECT_NE(source.fileIcon(*byName["Plain"].bundlePath), nullptr);
}

}  // namespace
}  // namespace pylonix::qt_platform
