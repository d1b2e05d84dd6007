#include "apppower/application_bundle_path.h"

namespace pylonix {
namespace {

bool endsWithAppExtension(std::string_view component) {
    constexpr std::string_view kExtension = ".app";
    if (component.size() < kExtension.size()) return false;
    const std::string_view tail = component.substr(component.size() - kExtension.size());
    for (std::size_t i = 0; i < kExtension.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kExtension[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> applicationBundlePath(std::string_view path) {
    std::string joined = path.starts_with('/') ? "/" : "";
    bool first = true;
    std::size_t position = 0;
    while (position < path.size()) {
        const std::size_t end = std::min(path.find('/', position), path.size());
        const std::string_view component = path.substr(position, end - position);
        position = end + 1;
        if (component.empty()) continue;
        if (!first && joined != "/") joined += '/';
        first = false;
        joined += component;
        if (endsWithAppExtension(component)) return joined;
    }
    return std::nullopt;
}

}  // namespace pylonix
