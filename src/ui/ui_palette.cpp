#include "ui/ui_palette.h"

namespace pylonix {
namespace {

constexpr Rgba rgb(int red, int green, int blue, double alpha = 1) {
    return {red / 255.0, green / 255.0, blue / 255.0, alpha};
}

}  // namespace

std::string_view toString(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? "dark" : "light";
}

std::optional<ColorScheme> colorSchemeFromString(std::string_view text) {
    if (text == "light") return ColorScheme::light;
    if (text == "dark") return ColorScheme::dark;
    return std::nullopt;
}

std::string_view toString(UiSurface surface) {
    switch (surface) {
        case UiSurface::window:
            return "window";
        case UiSurface::group:
            return "group";
        case UiSurface::groupBorder:
            return "groupBorder";
        case UiSurface::tile:
            return "tile";
        case UiSurface::separator:
            return "separator";
        case UiSurface::badge:
            return "badge";
    }
    return "window";
}

Rgba shade(UiColor color, ColorScheme scheme) {
    const bool dark = scheme == ColorScheme::dark;
    switch (color) {
        case UiColor::primary:
            return dark ? rgb(255, 255, 255, 0.92) : rgb(0, 0, 0, 0.85);
        case UiColor::secondary:
            return dark ? rgb(255, 255, 255, 0.62) : rgb(0, 0, 0, 0.5);
        case UiColor::tertiary:
            return dark ? rgb(255, 255, 255, 0.5) : rgb(0, 0, 0, 0.3);
        case UiColor::green:
            return dark ? rgb(48, 209, 88) : rgb(41, 166, 69);
        case UiColor::blue:
            return dark ? rgb(64, 156, 255) : rgb(0, 122, 255);
        case UiColor::orange:
            return dark ? rgb(255, 159, 10) : rgb(240, 140, 0);
        case UiColor::red:
            return dark ? rgb(255, 105, 97) : rgb(255, 59, 48);
        case UiColor::indigo:
            return dark ? rgb(150, 147, 255) : rgb(89, 87, 214);
    }
    return shade(UiColor::primary, scheme);
}

Rgba shade(UiSurface surface, ColorScheme scheme) {
    const bool dark = scheme == ColorScheme::dark;
    switch (surface) {
        case UiSurface::window:
            return dark ? rgb(30, 30, 32) : rgb(244, 244, 246);
        case UiSurface::group:
            return dark ? rgb(255, 255, 255, 0.05) : rgb(0, 0, 0, 0.035);
        case UiSurface::groupBorder:
            return dark ? rgb(255, 255, 255, 0.09) : rgb(0, 0, 0, 0.06);
        case UiSurface::tile:
            return dark ? rgb(255, 255, 255, 0.06) : rgb(0, 0, 0, 0.045);
        case UiSurface::separator:
            return dark ? rgb(255, 255, 255, 0.14) : rgb(0, 0, 0, 0.1);
        case UiSurface::badge:
            return dark ? rgb(255, 255, 255, 0.1) : rgb(0, 0, 0, 0.06);
    }
    return shade(UiSurface::window, scheme);
}

Rgba composite(Rgba top, Rgba bottom) {
    const auto mix = [&](double over, double under) {
        return over * top.alpha + under * (1 - top.alpha);
    };
    return {mix(top.red, bottom.red), mix(top.green, bottom.green), mix(top.blue, bottom.blue), 1};
}

}  // namespace pylonix
