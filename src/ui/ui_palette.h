#pragma once

#include <optional>
#include <string_view>

#include "ui/ui_color.h"

namespace pylonix {

// The desktop's appearance; the panel draws every colour name in the shade of the appearance.
enum class ColorScheme { light, dark };

std::string_view toString(ColorScheme scheme);
// "light" or "dark"; nothing for anything else.
std::optional<ColorScheme> colorSchemeFromString(std::string_view text);

// A colour with straight (not premultiplied) alpha, every channel from 0 to 1.
struct Rgba {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// The surfaces the panel draws under its texts and symbols.
enum class UiSurface {
    window,       // the panel's background
    group,        // the fill of a grouped section (breakdown, applications)
    groupBorder,  // its stroke
    tile,         // the fill of a metric tile
    separator,    // the footer's divider
    badge,        // the application count's capsule
};

std::string_view toString(UiSurface surface);

// The shades of the named colours. Light: the platform's standard colours. Dark: the same hues
// lifted the way the platform's own dark palette lifts them, so that each tint stays
// recognisable and every text on the dark window keeps a contrast of at least 4.5:1.
Rgba shade(UiColor color, ColorScheme scheme);
Rgba shade(UiSurface surface, ColorScheme scheme);

// `top` drawn over the opaque `bottom`.
Rgba composite(Rgba top, Rgba bottom);

inline constexpr UiColor kAllUiColors[] = {UiColor::primary, UiColor::secondary, UiColor::tertiary,
                                           UiColor::green,   UiColor::blue,      UiColor::orange,
                                           UiColor::red,     UiColor::indigo};
inline constexpr UiSurface kAllUiSurfaces[] = {UiSurface::window,      UiSurface::group,
                                               UiSurface::groupBorder, UiSurface::tile,
                                               UiSurface::separator,   UiSurface::badge};

}  // namespace pylonix
