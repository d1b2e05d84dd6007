#include "app/tray_figure.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

TEST(TrayFigureTest, BelowTenWattsTheDecimalStays) {
    EXPECT_EQ(trayFigure("9.8 W"), "9.8");
    EXPECT_EQ(trayFigure("0.0 W"), "0.0");
    EXPECT_EQ(trayFigure("9.9 W"), "9.9");
}

TEST(TrayFigureTest, FromTenWattsWholeWattsRoundedToTheNearest) {
    EXPECT_EQ(trayFigure("10.0 W"), "10");
    EXPECT_EQ(trayFigure("12.3 W"), "12");
    EXPECT_EQ(trayFigure("12.5 W"), "13");
    EXPECT_EQ(trayFigure("99.9 W"), "100");
    EXPECT_EQ(trayFigure("123 W"), "123");
    EXPECT_EQ(trayFigure("999 W"), "999");
}

TEST(TrayFigureTest, NeverMoreThanThreeGlyphs) {
    EXPECT_EQ(trayFigure("1000 W"), "1k+");
    EXPECT_EQ(trayFigure("12345 W"), "1k+");
}

TEST(TrayFigureTest, NoFigureIsADash) {
    EXPECT_EQ(trayFigure("— W"), "—");
    EXPECT_EQ(trayFigure("—"), "—");
    EXPECT_EQ(trayFigure(""), "—");
    EXPECT_EQ(trayFigure(" W"), "—");
    EXPECT_EQ(trayFigure("−3.2 W"), "—");  // a negative figure is never shown
    EXPECT_EQ(trayFigure("-3.2 W"), "—");
    EXPECT_EQ(trayFigure("12.3 kW"), "—");
    EXPECT_EQ(trayFigure("nan W"), "—");
    EXPECT_EQ(trayFigure("inf W"), "—");
}

}  // namespace
}  // namespace pylonix
