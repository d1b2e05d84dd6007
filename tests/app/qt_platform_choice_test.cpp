#include "app/qt_platform_choice.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

TEST(QtPlatformChoiceTest, WithAnXDisplayAndNoChoiceX11ThenWayland) {
    EXPECT_EQ(qtPlatformRequest(std::nullopt, true, false), "xcb;offscreen");
    EXPECT_EQ(qtPlatformRequest("", true, false), "xcb;offscreen");
    // XWayland that refuses the connection: the Wayland platform, not an abort.
    EXPECT_EQ(qtPlatformRequest(std::nullopt, true, true), "xcb;wayland;offscreen");
}

TEST(QtPlatformChoiceTest, AChosenPlatformKeepsTheSessionsDisplaysAsItsFallbacks) {
    EXPECT_EQ(qtPlatformRequest("wayland", true, true), "wayland;xcb;offscreen");
    EXPECT_EQ(qtPlatformRequest("wayland-egl", true, true), "wayland-egl;xcb;offscreen");
    EXPECT_EQ(qtPlatformRequest("xcb", true, true), "xcb;wayland;offscreen");
    EXPECT_EQ(qtPlatformRequest("xcb:nograb", true, false), "xcb:nograb;offscreen");
    // Only Wayland: a choice that does not load falls back to it, or ends the program.
    EXPECT_EQ(qtPlatformRequest("nonexistent", false, true), "nonexistent;wayland;offscreen");
    EXPECT_EQ(qtPlatformRequest("wayland", false, true), "wayland;offscreen");
    // The user's own list, and a choice of the last resort itself, stay.
    EXPECT_FALSE(qtPlatformRequest("wayland;xcb", true, true));
    EXPECT_EQ(qtPlatformRequest("offscreen", false, false), "offscreen");
}

TEST(QtPlatformChoiceTest, WithoutAnXDisplayAndNoChoiceQtsOwn) {
    EXPECT_FALSE(qtPlatformRequest(std::nullopt, false, true));
    EXPECT_FALSE(qtPlatformRequest("", false, false));
}

}  // namespace
}  // namespace pylonix
