#include "ui/ui_palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace pylonix {
namespace {

// WCAG 2's relative luminance and contrast ratio.
double luminance(const Rgba& color) {
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.red) + 0.7152 * linear(color.green) + 0.0722 * linear(color.blue);
}
double contrast(const Rgba& a, const Rgba& b) {
    const double lighter = std::max(luminance(a), luminance(b));
    const double darker = std::min(luminance(a), luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

// The hue in degrees, and the saturation of the HSV model.
double hue(const Rgba& c) {
    const double max = std::max({c.red, c.green, c.blue});
    const double min = std::min({c.red, c.green, c.blue});
    const double range = max - min;
    double degrees = 0;
    if (range == 0) return 0;
    if (max == c.red)
        degrees = 60 * std::fmod((c.green - c.blue) / range, 6);
    else if (max == c.green)
        degrees = 60 * ((c.blue - c.red) / range + 2);
    else
        degrees = 60 * ((c.red - c.green) / range + 4);
    return degrees < 0 ? degrees + 360 : degrees;
}
double saturation(const Rgba& c) {
    const double max = std::max({c.red, c.green, c.blue});
    return max == 0 ? 0 : (max - std::min({c.red, c.green, c.blue})) / max;
}

constexpr UiColor kTints[] = {UiColor::green, UiColor::blue, UiColor::orange, UiColor::red,
                              UiColor::indigo};

TEST(UiPaletteTest, EveryDarkTextKeepsAaContrastOnEverySurfaceItStandsOn) {
    const ColorScheme dark = ColorScheme::dark;
    const Rgba window = shade(UiSurface::window, dark);
    // The grounds texts stand on: the window, the grouped sections, the tiles, and the fills
    // tinted by a state (the card at 9 %, notices at 8 %, badges at 12 %).
    std::vector<std::pair<std::string, Rgba>> grounds = {
        {"window", window},
        {"group", composite(shade(UiSurface::group, dark), window)},
        {"tile", composite(shade(UiSurface::tile, dark), window)},
    };
    for (UiColor tint : kTints) {
        Rgba fill = shade(tint, dark);
        fill.alpha = 0.12;
        grounds.emplace_back("tinted " + std::string(toString(tint)), composite(fill, window));
    }
    for (UiColor text : kAllUiColors) {
        for (const auto& [name, ground] : grounds) {
            const double ratio = contrast(composite(shade(text, dark), ground), ground);
            EXPECT_GE(ratio, 4.5) << toString(text) << " on " << name << ": " << ratio;
        }
    }
}

TEST(UiPaletteTest, DarkTintsKeepTheirHuesAndTheTextLevelsTheirOrder) {
    for (UiColor tint : kTints) {
        const Rgba light = shade(tint, ColorScheme::light);
        const Rgba dark = shade(tint, ColorScheme::dark);
        double difference = std::abs(hue(light) - hue(dark));
        difference = std::min(difference, 360 - difference);
        EXPECT_LE(difference, 12) << toString(tint);
        EXPECT_GE(saturation(dark), 0.4) << toString(tint);
        // Lifted, never darkened, against the dark window.
        EXPECT_GE(luminance(dark), luminance(light)) << toString(tint);
    }
    // Primary reads stronger than secondary, secondary than tertiary, in both appearances.
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        const Rgba window = shade(UiSurface::window, scheme);
        const auto on = [&](UiColor text) {
            return contrast(composite(shade(text, scheme), window), window);
        };
        EXPECT_GT(on(UiColor::primary), on(UiColor::secondary));
        EXPECT_GT(on(UiColor::secondary), on(UiColor::tertiary));
    }
    EXPECT_LT(luminance(shade(UiSurface::window, ColorScheme::dark)), 0.05);
}

TEST(UiPaletteTest, SchemeNames) {
    EXPECT_EQ(colorSchemeFromString("dark"), ColorScheme::dark);
    EXPECT_EQ(colorSchemeFromString("light"), ColorScheme::light);
    EXPECT_FALSE(colorSchemeFromString("Dark"));
    EXPECT_FALSE(colorSchemeFromString(""));
    EXPECT_EQ(toString(ColorScheme::dark), "dark");
}

}  // namespace
}  // namespace pylonix
