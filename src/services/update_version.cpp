#include "services/update_version.h"

#include <algorithm>
#include <charconv>

namespace pylonix {

std::optional<UpdateVersion> UpdateVersion::parse(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(kSpace) - first + 1);

    std::vector<std::uint64_t> components;
    while (true) {
        const auto dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        if (part.empty() ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (error != std::errc() || end != part.data() + part.size()) return std::nullopt;
        components.push_back(value);
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    return UpdateVersion(std::move(components));
}

std::strong_ordering operator<=>(const UpdateVersion& a, const UpdateVersion& b) {
    const std::size_t count = std::max(a.components_.size(), b.components_.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t left = i < a.components_.size() ? a.components_[i] : 0;
        const std::uint64_t right = i < b.components_.size() ? b.components_[i] : 0;
        if (left != right) return left <=> right;
    }
    return std::strong_ordering::equal;
}

}  // namespace pylonix
