#include "platform/linux/processes/process_identity_hints.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

using namespace std::string_literals;

TEST(SystemdUnitFromCgroupTest, TheInnermostApplicationUnitElseTheInnermostUnit) {
    EXPECT_EQ(systemdUnitFromCgroup("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                                    "app-gnome-org.gnome.Terminal-1200.scope\n"),
              "app-gnome-org.gnome.Terminal-1200.scope");
    // A sub-cgroup or a unit below an application's unit does not hide it.
    EXPECT_EQ(systemdUnitFromCgroup("0::/u/app.slice/app-outer.service/app-inner-5.scope/tab\n"),
              "app-inner-5.scope");
    EXPECT_EQ(systemdUnitFromCgroup("0::/u/app.slice/app-editor.service/vte-spawn-1.scope\n"),
              "app-editor.service");
    // cgroup v1 lines work the same way.
    EXPECT_EQ(systemdUnitFromCgroup("4:memory:/\n1:name=systemd:/u/app-editor-77.scope\n"),
              "app-editor-77.scope");
    EXPECT_EQ(systemdUnitFromCgroup("0::/user.slice/user-1000.slice/session-2.scope\n"),
              "session-2.scope");
    EXPECT_EQ(systemdUnitFromCgroup("0::/\n"), "");
    EXPECT_EQ(systemdUnitFromCgroup("garbage"), "");
}

TEST(SystemdUnitFromCgroupTest, ATerminalsTabsBelongToItsSlice) {
    // GNOME Terminal runs each tab's shell in a scope of its own inside its slice.
    EXPECT_EQ(systemdUnitFromCgroup("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                                    "app-org.gnome.Terminal.slice/vte-spawn-5c1e.scope\n"),
              "app-org.gnome.Terminal.slice");
    // An application unit inside the slice still comes first; a snap's scope names itself.
    EXPECT_EQ(systemdUnitFromCgroup("0::/u/app-org.gnome.Terminal.slice/app-gnome-x-9.scope\n"),
              "app-gnome-x-9.scope");
    EXPECT_EQ(systemdUnitFromCgroup("0::/u/app-a.slice/snap.firefox.firefox-1234.scope\n"),
              "snap.firefox.firefox-1234.scope");
}

TEST(FlatpakIdFromInfoTest, TheApplicationGroupsName) {
    EXPECT_EQ(
        flatpakIdFromInfo("[Instance]\nname=wrong\n\n[Application]\nname=org.example.Notes\r\n"
                          "runtime=runtime/org.gnome.Platform\n"),
        "org.example.Notes");
    EXPECT_EQ(flatpakIdFromInfo("[Instance]\nname=org.example.Notes\n"), "");
    EXPECT_EQ(flatpakIdFromInfo(""), "");
}

TEST(SystemdUnitFromCgroupTest, FlatpakApplicationsByTheirUnit) {
    EXPECT_EQ(flatpakIdFromUnit("app-flatpak-org.example.Notes-77321.scope"), "org.example.Notes");
    EXPECT_EQ(flatpakIdFromUnit("app-flatpak-org.example.My\\x2dApp-1.scope"),
              "org.example.My-App");
    EXPECT_EQ(flatpakIdFromUnit("app-gnome-firefox-1.scope"), "");
    EXPECT_EQ(flatpakIdFromUnit("app-flatpak--1.scope"), "");
}

// Scans `environ` cut into pieces of `piece` bytes.
LauncherVariables scan(const std::string& environ, std::size_t piece) {
    LauncherEnvironmentScanner scanner;
    for (std::size_t at = 0; at < environ.size(); at += piece) {
        if (!scanner.feed(std::string_view(environ).substr(at, piece))) break;
    }
    return scanner.variables();
}

TEST(LauncherEnvironmentScannerTest, FindsTheVariablesWhereverThePiecesAreCut) {
    const std::string environ =
        "HOME=/h\0GIO_LAUNCHED_DESKTOP_FILE=/a/b.desktop\0GIO_LAUNCHED_DESKTOP_FILE_PID=42\0"
        "APPIMAGE=/opt/x.AppImage\0GIO_LAUNCHED_DESKTOP_FILE=/later.desktop\0"s;
    for (std::size_t piece : {1u, 2u, 5u, 13u, 4096u}) {
        SCOPED_TRACE(piece);
        const LauncherVariables found = scan(environ, piece);
        EXPECT_EQ(found.desktopFile, "/a/b.desktop");  // the first definition counts
        EXPECT_EQ(found.desktopFilePid, "42");
        EXPECT_EQ(found.appImage, "/opt/x.AppImage");
    }
    const LauncherVariables found = scan(environ, 7);
    EXPECT_EQ(found.desktopFileFor(42), "/a/b.desktop");
    EXPECT_EQ(found.desktopFileFor(43), std::nullopt);  // an inheriting child

    EXPECT_EQ(scan("GIO_LAUNCHED_DESKTOP_FILE=/a.desktop\0"s, 3).desktopFileFor(7), "/a.desktop");
    EXPECT_EQ(scan("GIO_LAUNCHED_DESKTOP_FILE=\0"s, 3).desktopFileFor(7), std::nullopt);
    EXPECT_EQ(scan("GIO_LAUNCHED_DESKTOP_FILE=/cut"s, 3).desktopFile, std::nullopt);  // no end
    EXPECT_EQ(scan(""s, 3), LauncherVariables{});
}

TEST(LauncherEnvironmentScannerTest, LongEntriesAreSkippedWithoutBeingKept) {
    // A 1 MiB variable before the launcher's, and a value too long to be a path.
    const std::string environ = "JUNK=" + std::string(1 << 20, 'x') + '\0' +
                                "APPIMAGE=" + std::string(5000, 'y') + '\0' +
                                "GIO_LAUNCHED_DESKTOP_FILE=/a.desktop" + '\0';
    const LauncherVariables found = scan(environ, 16 * 1024);
    EXPECT_EQ(found.desktopFile, "/a.desktop");
    EXPECT_EQ(found.appImage, std::nullopt);
}

}  // namespace
}  // namespace pylonix::linux_platform
