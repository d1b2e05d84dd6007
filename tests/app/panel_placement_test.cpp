#include "app/panel_placement.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

// A 1280 × 800 screen with a 24-pixel bar at the top.
const QRect kAvailable(0, 24, 1280, 776);
const QSize kPanel(360, 716);

TEST(PanelPlacementTest, WithoutTheItemsPlaceTheTopRightOfTheAvailableArea) {
    EXPECT_EQ(placePanel(kAvailable, kPanel, QRect()), QPoint(920, 24));
    // A screen narrower than the panel keeps the panel's left edge on it.
    EXPECT_EQ(placePanel(QRect(0, 0, 300, 600), kPanel, QRect()), QPoint(0, 0));
}

TEST(PanelPlacementTest, UnderAnItemInATopBarCentredAndKeptOnTheScreen) {
    EXPECT_EQ(placePanel(kAvailable, kPanel, QRect(600, 1, 22, 22)), QPoint(431, 24));
    // Near the right edge the panel stops at the edge instead of leaving the screen.
    EXPECT_EQ(placePanel(kAvailable, kPanel, QRect(1257, 1, 22, 22)), QPoint(920, 24));
    EXPECT_EQ(placePanel(kAvailable, kPanel, QRect(2, 1, 22, 22)), QPoint(0, 24));
    // A click point from a StatusNotifierItem host.
    EXPECT_EQ(placePanel(kAvailable, kPanel, QRect(QPoint(700, 12), QSize(1, 1))), QPoint(520, 24));
}

TEST(PanelPlacementTest, AboveAnItemInABottomBar) {
    const QRect available(0, 0, 1280, 770);  // a 30-pixel bar at the bottom
    EXPECT_EQ(placePanel(available, kPanel, QRect(1200, 774, 22, 22)), QPoint(920, 54));
    // A panel taller than the room above the item still starts on the screen.
    EXPECT_EQ(placePanel(available, QSize(360, 900), QRect(1200, 774, 22, 22)), QPoint(920, 0));
}

TEST(PanelPlacementTest, AgainstTheEdgeNearestTheItemWhereverTheClickWas) {
    const QRect bottomBar(0, 0, 1280, 770);
    // A point from a popup of hidden items, mid-screen above a bottom bar: against the
    // bottom edge, not at the click's height.
    EXPECT_EQ(placePanel(bottomBar, kPanel, QRect(QPoint(1100, 600), QSize(1, 1))),
              QPoint(920, 54));
    // Side bars: beside the item, centred on it and kept on the screen.
    const QRect leftBar(48, 0, 1232, 800);
    EXPECT_EQ(placePanel(leftBar, kPanel, QRect(10, 400, 28, 28)), QPoint(48, 56));
    const QRect rightBar(0, 0, 1232, 800);
    EXPECT_EQ(placePanel(rightBar, kPanel, QRect(1242, 400, 28, 28)), QPoint(872, 56));
    // A bar the available area does not leave out (no window manager): not covered.
    const QRect whole(0, 0, 1280, 800);
    EXPECT_EQ(placePanel(whole, kPanel, QRect(1256, 0, 24, 24)), QPoint(920, 24));
    EXPECT_EQ(placePanel(whole, kPanel, QRect(600, 776, 24, 24)), QPoint(432, 60));
}

TEST(ClickPositionTest, TheHostsPointUnlessItCannotBeOnTheScreen) {
    const QList<QRect> screens = {QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)};
    // A point by the pointer, on either screen.
    EXPECT_EQ(clickPosition(QPoint(1210, 12), QPoint(1215, 14), screens), QPoint(1210, 12));
    EXPECT_EQ(clickPosition(QPoint(3000, 12), QPoint(3010, 8), screens), QPoint(3000, 12));
    // Relative to the item (waybar): far from the pointer, so the pointer's position.
    EXPECT_EQ(clickPosition(QPoint(11, 9), QPoint(1215, 14), screens), QPoint(1215, 14));
    // No point, or one on no screen.
    EXPECT_EQ(clickPosition(QPoint(0, 0), QPoint(1215, 14), screens), QPoint(1215, 14));
    EXPECT_EQ(clickPosition(QPoint(-20, 5000), QPoint(1215, 14), screens), QPoint(1215, 14));
    // Where the pointer is unknown (a Wayland session) or off every screen, the host's point if
    // it can be one.
    EXPECT_EQ(clickPosition(QPoint(1210, 12), std::nullopt, screens), QPoint(1210, 12));
    EXPECT_EQ(clickPosition(QPoint(11, 9), std::nullopt, screens), QPoint(11, 9));
    EXPECT_EQ(clickPosition(QPoint(1210, 12), QPoint(-1, -1), screens), QPoint(1210, 12));
    EXPECT_TRUE(clickPosition(QPoint(0, 0), std::nullopt, screens).isNull());
    EXPECT_TRUE(clickPosition(QPoint(-20, 5000), std::nullopt, screens).isNull());
}

TEST(KnownAvailableAreaTest, AWholeScreenFromAWaylandCompositorLeavesRoomForABar) {
    const QRect screen(0, 0, 1280, 800);
    EXPECT_EQ(knownAvailableArea(screen, screen, true), QRect(0, 32, 1280, 768));
    // An area the platform knows (X11's work area, or a compositor that tells it) stays.
    EXPECT_EQ(knownAvailableArea(screen, QRect(0, 26, 1280, 774), true), QRect(0, 26, 1280, 774));
    EXPECT_EQ(knownAvailableArea(screen, screen, false), screen);
    // A second screen right of the first, and a screen too short to give any room.
    EXPECT_EQ(knownAvailableArea(QRect(1280, 0, 1920, 1080), QRect(1280, 0, 1920, 1080), true),
              QRect(1280, 32, 1920, 1048));
    EXPECT_EQ(knownAvailableArea(QRect(0, 0, 200, 60), QRect(0, 0, 200, 60), true),
              QRect(0, 0, 200, 60));
}

}  // namespace
}  // namespace pylonix
