#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pylonix {

// Text measured in terminal columns: wide and full-width characters (Chinese, full-width
// punctuation) take two, combining marks and format characters none, everything else one
// (East Asian "ambiguous" characters such as "—" and "·" included, as terminals outside CJK
// legacy modes draw them). Invalid UTF-8 counts one column per byte.
int displayWidth(std::string_view utf8);

// The longest beginning of `text` that fits in `width` columns.
std::string_view prefixOfWidth(std::string_view text, int width);

// Shortens `text` to at most `width` columns by putting "…" in its middle; unchanged when it
// fits.
std::string truncateMiddle(std::string_view text, int width);

// Splits `text` into lines of at most `width` columns, breaking after the last space of a line
// where there is one and between any two characters otherwise (Chinese has no spaces).
std::vector<std::string> wrapToWidth(std::string_view text, int width);

}  // namespace pylonix
