#pragma once

#include <string_view>

namespace pylonix {

// The named colours the panel uses. Views receive the name; the toolkit layer picks the shade.
enum class UiColor { primary, secondary, tertiary, green, blue, orange, red, indigo };

std::string_view toString(UiColor color);

}  // namespace pylonix
