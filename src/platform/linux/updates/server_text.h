#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pylonix::linux_platform {

// Texts that come from an update server (reason phrases, addresses, versions) are shown in
// messages only this long, so that a server cannot fill a window or a log line.
inline constexpr std::size_t kServerTextShownCharacters = 80;

// The longest version, compared or shown, that a feed may carry.
inline constexpr std::size_t kMaximumVersionCharacters = 64;

// The number of characters (code points) of UTF-8 text; a stray byte counts as one.
std::size_t characterCount(std::string_view text);

// The text cut after `maximum` characters, never inside one, with "…" where it was cut.
std::string shortenedServerText(std::string_view text,
                                std::size_t maximum = kServerTextShownCharacters);

}  // namespace pylonix::linux_platform
