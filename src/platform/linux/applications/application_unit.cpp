#include "platform/linux/applications/application_unit.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/linux/processes/process_identity_hints.h"

namespace pylonix::linux_platform {
namespace {

// Both readings of "[<launcher>-]<id>".
std::vector<std::string> readings(std::string_view part) {
    std::vector<std::string> ids{unescapeUnitName(part)};
    if (const std::size_t dash = part.find('-');
        dash != std::string_view::npos && dash + 1 < part.size()) {
        ids.push_back(unescapeUnitName(part.substr(dash + 1)));
    }
    return ids;
}

// "gnome-org.gnome.Terminal" from an application scope or service, or nothing.
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
        unit = unit.substr(0, std::min(unit.find('@'), unit.size()));
    } else {
        return std::nullopt;
    }
    if (unit.empty()) return std::nullopt;
    return unit;
}

bool isUuid(std::string_view text) {
    if (text.size() != 36) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (dash ? c != '-' : !hex) return false;
    }
    return true;
}

// "firefox_firefox" from snap.firefox.firefox-<uuid>.scope, or nothing.
std::optional<std::string> snapEntryId(std::string_view unit) {
    if (!unit.starts_with("snap.")) return std::nullopt;
    unit.remove_prefix(5);
    if (unit.ends_with(".scope")) {
        unit.remove_suffix(6);
    } else if (unit.ends_with(".service")) {
        unit.remove_suffix(8);
    } else {
        return std::nullopt;
    }
    const std::size_t dot = unit.find('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    const std::string_view snap = unit.substr(0, dot);
    std::string_view app = unit.substr(dot + 1);
    if (const std::size_t next = app.find('.'); next != std::string_view::npos) {
        app = app.substr(0, next);  // the older snap.<snap>.<app>.<uuid>.scope
    } else if (app.size() > 37 && isUuid(app.substr(app.size() - 36)) &&
               app[app.size() - 37] == '-') {
        app.remove_suffix(37);
    }
    if (app.empty()) return std::nullopt;
    return unescapeUnitName(snap) + "_" + unescapeUnitName(app);
}

}  // namespace

std::vector<std::string> applicationUnitDesktopIds(std::string_view unit) {
    std::vector<std::string> slice;
    while (!unit.empty()) {
        const std::size_t slash = unit.rfind('/');
        const std::string_view component =
            slash == std::string_view::npos ? unit : unit.substr(slash + 1);
        if (const auto part = applicationPart(component)) return readings(*part);
        if (auto snap = snapEntryId(component)) return {std::move(*snap)};
        if (slice.empty() && component.starts_with("app-") && component.ends_with(".slice") &&
            component.size() > 10) {
            slice = readings(component.substr(4, component.size() - 10));
        }
        if (slash == std::string_view::npos) break;
        unit = unit.substr(0, slash);
    }
    return slice;
}

}  // namespace pylonix::linux_platform
