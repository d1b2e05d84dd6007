#include "platform/linux/applications/desktop_applications.h"

#include <optional>

#include "platform/linux/processes/process_identity_hints.h"

namespace pylonix::linux_platform {
namespace {

// "gnome-org.gnome.Terminal" from an application unit's name, or nothing for other units.
std::optional<std::string_view> applicationPart(std::string_view unit) {
    if (!unit.starts_with("app-")) return std::nullopt;
    unit.remove_prefix(4);
    if (unit.ends_with(".scope")) {
        unit.remove_suffix(6);
        const std::size_t dash = unit.rfind('-');  // the random part
        if (dash == std::string_view::npos || dash == 0) return std::nullopt;
        unit = unit.substr(0, dash);
    } else if (unit.ends_with(".service")) {
        unit.remove_suffix(8);
        if (const std::size_t at = unit.find('@'); at != std::string_view::npos) {
            unit = unit.substr(0, at);
        }
    } else {
        return std::nullopt;
    }
    if (unit.empty()) return std::nullopt;
    return unit;
}

}  // namespace

std::vector<std::string> desktopIdsFromUnit(std::string_view unit) {
    const auto part = applicationPart(unit);
    if (!part) return {};
    std::vector<std::string> ids{unescapeUnitName(*part)};
    if (const std::size_t dash = part->find('-');
        dash != std::string_view::npos && dash + 1 < part->size()) {
        ids.push_back(unescapeUnitName(part->substr(dash + 1)));
    }
    return ids;
}

}  // namespace pylonix::linux_platform
