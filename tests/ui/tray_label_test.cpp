#include "ui/tray_label.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

constexpr const char* kFigureSpace = "\u2007";

TEST(TrayLabelTest, ShortValuesArePaddedWithFigureSpacesToTheGuidesLength) {
    EXPECT_EQ(trayLabel("88.8 W"), "88.8 W");
    EXPECT_EQ(trayLabel("8.5 W"), std::string(kFigureSpace) + "8.5 W");
    EXPECT_EQ(trayLabel("100 W"), std::string(kFigureSpace) + "100 W");
    // Counted in characters: the dash is one, though three bytes.
    EXPECT_EQ(trayLabel("— W"), std::string(kFigureSpace) + kFigureSpace + kFigureSpace + "— W");
    EXPECT_EQ(trayLabel("−1.2 W"), "−1.2 W");
}

TEST(TrayLabelTest, LongerValuesStayAsTheyAre) {
    EXPECT_EQ(trayLabel("100.0 W"), "100.0 W");
    EXPECT_EQ(trayLabel("12345 W"), "12345 W");
}

}  // namespace
}  // namespace pylonix
