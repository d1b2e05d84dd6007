#include "platform/linux/login_item/login_items_settings.h"

#include <gtest/gtest.h>

#include <set>

namespace pylonix::linux_platform {
namespace {

using Command = std::vector<std::string>;

TEST(LoginItemsSettingsTest, PrefersTheRunningDesktopsTool) {
    const std::set<std::string> installed = {"gnome-session-properties", "systemsettings",
                                             "xfce4-session-settings"};
    const auto isInstalled = [&](const std::string& name) { return installed.contains(name); };
    EXPECT_EQ(loginItemsSettingsCommand("KDE", isInstalled),
              (Command{"systemsettings", "kcm_autostart"}));
    EXPECT_EQ(loginItemsSettingsCommand("ubuntu:GNOME", isInstalled),
              Command{"gnome-session-properties"});
    EXPECT_EQ(loginItemsSettingsCommand("XFCE", isInstalled), Command{"xfce4-session-settings"});
    // An unknown desktop, or none, takes any installed tool.
    EXPECT_EQ(loginItemsSettingsCommand("", isInstalled), Command{"gnome-session-properties"});
    EXPECT_EQ(loginItemsSettingsCommand("MATE", isInstalled), Command{"gnome-session-properties"});
    // Names are matched whole.
    EXPECT_EQ(loginItemsSettingsCommand("KDEX:XFCE",
                                        [](const std::string& name) {
                                            return name == "systemsettings" ||
                                                   name == "xfce4-session-settings";
                                        }),
              Command{"xfce4-session-settings"});
}

TEST(LoginItemsSettingsTest, NothingInstalledMeansTheFolder) {
    EXPECT_EQ(loginItemsSettingsCommand("GNOME", [](const std::string&) { return false; }),
              std::nullopt);
}

}  // namespace
}  // namespace pylonix::linux_platform
