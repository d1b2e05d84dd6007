#include "platform/linux/tray/tray_host.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

TEST(TrayHostTest, TheWatchersOwnerNamesTheHost) {
    EXPECT_TRUE(trayHostShowsLabels("gnome-shell", ""));
    EXPECT_TRUE(trayHostShowsLabels("ayatana-indica", "XFCE"));  // comm is cut at 15 bytes
    EXPECT_FALSE(trayHostShowsLabels("plasmashell", "GNOME"));
    EXPECT_FALSE(trayHostShowsLabels("kded6", ""));
    EXPECT_FALSE(trayHostShowsLabels("panel-7-statusn", ""));
    EXPECT_FALSE(trayHostShowsLabels("xfce4-panel", "ubuntu:GNOME"));
}

TEST(TrayHostTest, AnUnknownOwnerLeavesItToTheFirstKnownDesktop) {
    EXPECT_TRUE(trayHostShowsLabels("", "ubuntu:GNOME"));
    EXPECT_TRUE(trayHostShowsLabels("some-watcher", "X-Custom:GNOME"));
    EXPECT_FALSE(trayHostShowsLabels("", "KDE"));
    EXPECT_FALSE(trayHostShowsLabels("", "XFCE:GNOME"));
    // "GNOME-Flashback" and the like are other desktops, not GNOME Shell.
    EXPECT_FALSE(trayHostShowsLabels("", "GNOME-Flashback"));
}

TEST(TrayHostTest, WithNothingKnownTheIconCarriesTheFigure) {
    EXPECT_FALSE(trayHostShowsLabels("", ""));
    EXPECT_FALSE(trayHostShowsLabels("", ":"));
    EXPECT_FALSE(trayHostShowsLabels("snixembed", "X-Generic"));
}

}  // namespace
}  // namespace pylonix::linux_platform
