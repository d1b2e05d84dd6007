#include "app/qt_platform_choice.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

TEST(QtPlatformChoiceTest, WithAnXDisplayAndNoChoiceX11) {
    EXPECT_EQ(qtPlatformRequest(std::nullopt, true), "xcb");
    EXPECT_EQ(qtPlatformRequest("", true), "xcb");
}

TEST(QtPlatformChoiceTest, AChosenPlatformKeepsX11AsItsFallback) {
    EXPECT_EQ(qtPlatformRequest("wayland", true), "wayland;xcb");
    EXPECT_EQ(qtPlatformRequest("wayland-egl", true), "wayland-egl;xcb");
    EXPECT_FALSE(qtPlatformRequest("wayland;offscreen", true));  // the user's own fallback
    EXPECT_FALSE(qtPlatformRequest("xcb", true));
    EXPECT_FALSE(qtPlatformRequest("xcb:nograb", true));
}

TEST(QtPlatformChoiceTest, WithoutAnXDisplayNothingChanges) {
    EXPECT_FALSE(qtPlatformRequest(std::nullopt, false));
    EXPECT_FALSE(qtPlatformRequest("wayland", false));
}

}  // namespace
}  // namespace pylonix
