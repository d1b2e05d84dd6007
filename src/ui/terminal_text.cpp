#include "ui/terminal_text.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

namespace pylonix {
namespace {

constexpr std::string_view kEllipsis = "…";

// One code point of `text` starting at `offset`: its byte length and its width in columns.
struct Glyph {
    std::size_t length = 0;
    int width = 0;
};

int codePointWidth(UChar32 c) {
    if (c < 0) return 1;  // an invalid byte
    const auto category = static_cast<UCharCategory>(u_charType(c));
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK ||
        category == U_FORMAT_CHAR || c == 0x200B) {
        return 0;
    }
    const auto eastAsianWidth =
        static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
    return eastAsianWidth == U_EA_WIDE || eastAsianWidth == U_EA_FULLWIDTH ? 2 : 1;
}

Glyph glyphAt(std::string_view text, std::size_t offset) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    auto index = static_cast<std::int32_t>(offset);
    UChar32 c = 0;
    U8_NEXT(bytes, index, length, c);
    return {static_cast<std::size_t>(index) - offset, codePointWidth(c)};
}

}  // namespace

int displayWidth(std::string_view utf8) {
    int width = 0;
    for (std::size_t offset = 0; offset < utf8.size();) {
        const Glyph glyph = glyphAt(utf8, offset);
        width += glyph.width;
        offset += glyph.length;
    }
    return width;
}

std::string_view prefixOfWidth(std::string_view text, int width) {
    std::size_t end = 0;
    for (int used = 0; end < text.size();) {
        const Glyph glyph = glyphAt(text, end);
        if (used + glyph.width > width) break;
        used += glyph.width;
        end += glyph.length;
    }
    return text.substr(0, end);
}

std::string truncateMiddle(std::string_view text, int width) {
    if (displayWidth(text) <= width) return std::string(text);
    if (width <= 0) return {};
    const int kept = width - displayWidth(kEllipsis);
    const int headWidth = (kept + 1) / 2;
    const int tailWidth = kept - headWidth;

    const std::size_t headEnd = prefixOfWidth(text, headWidth).size();
    // The tail is taken from the back: collect the code point starts first.
    std::vector<Glyph> glyphs;
    std::vector<std::size_t> starts;
    for (std::size_t offset = headEnd; offset < text.size();) {
        const Glyph glyph = glyphAt(text, offset);
        starts.push_back(offset);
        glyphs.push_back(glyph);
        offset += glyph.length;
    }
    std::size_t tailStart = text.size();
    int used = 0;
    for (std::size_t i = glyphs.size(); i-- > 0;) {
        if (used + glyphs[i].width > tailWidth) break;
        used += glyphs[i].width;
        tailStart = starts[i];
    }
    std::string result(text.substr(0, headEnd));
    result += kEllipsis;
    result += text.substr(tailStart);
    return result;
}

std::vector<std::string> wrapToWidth(std::string_view text, int width) {
    std::vector<std::string> lines;
    width = std::max(width, 2);  // room for one wide character
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        int used = 0;
        std::size_t offset = lineStart;
        // A break after the last space, taken when it leaves at least half the line filled.
        std::size_t afterSpace = std::string_view::npos;
        while (offset < text.size()) {
            const Glyph glyph = glyphAt(text, offset);
            if (used + glyph.width > width) break;
            used += glyph.width;
            offset += glyph.length;
            if (text[offset - 1] == ' ' && used * 2 >= width) afterSpace = offset;
        }
        std::size_t lineEnd = offset;
        if (offset < text.size() && afterSpace != std::string_view::npos &&
            afterSpace > lineStart && text[offset] != ' ') {
            lineEnd = afterSpace;
        }
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        lines.emplace_back(line);
        lineStart = lineEnd;
        while (lineStart < text.size() && text[lineStart] == ' ') ++lineStart;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

}  // namespace pylonix
