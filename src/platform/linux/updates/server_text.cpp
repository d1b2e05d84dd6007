#include "platform/linux/updates/server_text.h"

namespace pylonix::linux_platform {
namespace {

// A byte that continues a multi-byte UTF-8 character (10xxxxxx).
bool isContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char byte : text) {
        if (!isContinuation(byte)) ++count;
    }
    return count;
}

std::string shortenedServerText(std::string_view text, std::size_t maximum) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuation(text[i])) continue;
        if (characters == maximum) return std::string(text.substr(0, i)) + "…";
        ++characters;
    }
    return std::string(text);
}

}  // namespace pylonix::linux_platform
