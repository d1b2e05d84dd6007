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

}  // namespace
}  // namespace pylonix
