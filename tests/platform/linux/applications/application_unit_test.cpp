#include "platform/linux/applications/application_unit.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

using Ids = std::vector<std::string>;

TEST(ApplicationUnitTest, LaunchersScopesAndServices) {
    const std::string apps = "/user.slice/user-1000.slice/user@1000.service/app.slice/";
    EXPECT_EQ(applicationUnitDesktopIds(apps + "app-gnome-firefox\\x2desr-2101.scope"),
              (Ids{"gnome-firefox-esr", "firefox-esr"}));
    EXPECT_EQ(applicationUnitDesktopIds(apps + "app-flatpak-org.gnome.Maps-3801.scope"),
              (Ids{"flatpak-org.gnome.Maps", "org.gnome.Maps"}));
    EXPECT_EQ(applicationUnitDesktopIds("app-org.kde.konsole-5d8e0c3b1a.scope"),
              Ids{"org.kde.konsole"});
    EXPECT_EQ(applicationUnitDesktopIds(apps + "app-idle\\x2dpython3.11-3e4f.scope"),
              Ids{"idle-python3.11"});
    EXPECT_EQ(applicationUnitDesktopIds(apps + "app-element\\x2ddesktop@autostart.service"),
              Ids{"element-desktop"});
    EXPECT_EQ(applicationUnitDesktopIds("app-org.kde.konsole.service"), Ids{"org.kde.konsole"});
    // The innermost application unit counts; a sub-cgroup below it does not hide it.
    EXPECT_EQ(applicationUnitDesktopIds(apps + "app-outer.service/app-inner-5.scope/tab"),
              Ids{"inner"});
}

TEST(ApplicationUnitTest, SnapsByTheirEntrysId) {
    const std::string apps = "/user.slice/user-1000.slice/user@1000.service/app.slice/";
    EXPECT_EQ(applicationUnitDesktopIds(
                  apps + "snap.firefox.firefox-8a4b2c9e-3f1d-4a7b-9c2e-5d6f7a8b9c0d.scope"),
              Ids{"firefox_firefox"});
    EXPECT_EQ(applicationUnitDesktopIds(
                  "snap.code.code-url-handler-8a4b2c9e-3f1d-4a7b-9c2e-5d6f7a8b9c0d.scope"),
              Ids{"code_code-url-handler"});
    EXPECT_EQ(applicationUnitDesktopIds("snap.gimp.gimp.a1b2c3.scope"),
              Ids{"gimp_gimp"});  // older form
    EXPECT_EQ(applicationUnitDesktopIds("snap.syncthing.syncthing.service"),
              Ids{"syncthing_syncthing"});
    for (const char* unit :
         {"snap.x.scope", "snap..app.scope", "snap.x..scope", "snap.x.y.socket"}) {
        EXPECT_EQ(applicationUnitDesktopIds(unit), Ids{}) << unit;
    }
}

TEST(ApplicationUnitTest, ASliceCountsOnlyWhenNoUnitInsideNamesAnApplication) {
    const std::string terminal =
        "/user.slice/user-1000.slice/user@1000.service/app.slice/app-org.gnome.Terminal.slice/";
    EXPECT_EQ(applicationUnitDesktopIds(terminal +
                                        "vte-spawn-6f1f3c1e-0b7d-4c55-9a3e-2d1c0b9a8f7e.scope"),
              Ids{"org.gnome.Terminal"});
    EXPECT_EQ(applicationUnitDesktopIds(terminal + "gnome-terminal-server.service"),
              Ids{"org.gnome.Terminal"});
    EXPECT_EQ(applicationUnitDesktopIds(terminal + "app-gnome-htop-9.scope"),
              (Ids{"gnome-htop", "htop"}));
    // app.slice itself and other units are no application.
    for (const char* unit : {"/user.slice/user-1000.slice/user@1000.service/app.slice/dbus.service",
                             "/user.slice/user-1000.slice/session-2.scope",
                             "/user.slice/user-1000.slice/user@1000.service/init.scope",
                             "app-7.scope", "app-.service", "app-.slice", "", "/", "garbage"}) {
        EXPECT_EQ(applicationUnitDesktopIds(unit), Ids{}) << unit;
    }
}

}  // namespace
}  // namespace pylonix::linux_platform
