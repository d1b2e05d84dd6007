#include "ui/tray_icon_figure.h"

#include <gtest/gtest.h>

#include <limits>

namespace pylonix {
namespace {

TEST(TrayIconFigureTest, BelowTenWattsTheDecimalStays) {
    EXPECT_EQ(trayIconFigure(9.8), "9.8");
    EXPECT_EQ(trayIconFigure(0.0), "0.0");
    EXPECT_EQ(trayIconFigure(9.94), "9.9");
    EXPECT_EQ(trayIconFigure(-0.04), "0.0");  // what the value text shows as "0.0"
}

TEST(TrayIconFigureTest, FromTenWattsWholeWattsAsTheValueTextRoundsThem) {
    EXPECT_EQ(trayIconFigure(9.96), "10");  // "10.0 W" beside it, never "10."
    EXPECT_EQ(trayIconFigure(12.3), "12");
    EXPECT_EQ(trayIconFigure(12.7), "13");
    EXPECT_EQ(trayIconFigure(99.96), "100");
    EXPECT_EQ(trayIconFigure(100.5), "100");  // half to even, like "%.0f" of the value text
    EXPECT_EQ(trayIconFigure(999.4), "999");
}

TEST(TrayIconFigureTest, NeverMoreThanThreeGlyphs) {
    EXPECT_EQ(trayIconFigure(999.5), "1k+");
    EXPECT_EQ(trayIconFigure(1000), "1k+");
    EXPECT_EQ(trayIconFigure(1e300), "1k+");
}

TEST(TrayIconFigureTest, NoFigureIsADash) {
    EXPECT_EQ(trayIconFigure(std::nullopt), "—");
    EXPECT_EQ(trayIconFigure(-3.2), "—");
    EXPECT_EQ(trayIconFigure(-0.05), "—");
    EXPECT_EQ(trayIconFigure(std::numeric_limits<double>::quiet_NaN()), "—");
    EXPECT_EQ(trayIconFigure(std::numeric_limits<double>::infinity()), "—");
}

}  // namespace
}  // namespace pylonix
