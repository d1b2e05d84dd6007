#pragma once

#include <span>
#include <string_view>

namespace pylonix {

// The icon font whose ligatures draw the symbols.
inline constexpr const char* kSymbolFontFamily = "Material Icons";

// The symbols the views name, and the glyph of the Material Icons font that draws each one
// (the font's ligature name: the text "bolt" set in that font is the bolt glyph).
struct SymbolGlyph {
    std::string_view symbol;
    std::string_view materialIcon;
};

// Every symbol any view of the program names, each once.
std::span<const SymbolGlyph> symbolTable();

// The Material Icons ligature for `symbol`; empty for a name the table does not hold.
std::string_view materialIconFor(std::string_view symbol);

}  // namespace pylonix
