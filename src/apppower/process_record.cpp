#include "apppower/process_record.h"

#include <unicode/unistr.h>

#include <algorithm>

namespace pylonix {

std::string decodeExecutablePath(std::string_view bytes) {
    bytes = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
    // Most paths are plain ASCII and need no conversion.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::string(bytes);
    }
    std::string text;
    icu::UnicodeString::fromUTF8(
        icu::StringPiece(bytes.data(), static_cast<std::int32_t>(bytes.size())))
        .toUTF8String(text);
    return text;
}

}  // namespace pylonix
