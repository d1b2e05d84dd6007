#include "ui/panel_layout.h"

#include <algorithm>
#include <cmath>

#include "power/power_formatters.h"

namespace pylonix {

double panelHeight(std::optional<double> visibleHeight) {
    if (!visibleHeight || !std::isfinite(*visibleHeight) || *visibleHeight <= 0) {
        return kPanelMaximumHeight;
    }
    const double height = std::min(*visibleHeight - kPanelScreenMargin, kPanelMaximumHeight);
    // A screen too short for the margin still gets a panel: the whole available height.
    return height > 0 ? height : *visibleHeight;
}

std::string footerUpdatedAt(WallClockTime timestamp, const TimeTextStyle& style) {
    return "更新于 " + formatShortTime(timestamp, style);
}

std::optional<UpdateShortcut> makeUpdateShortcut(bool hasAvailableVersion, bool canCheckForUpdates,
                                                 bool hasSoftwareUpdateError) {
    if (!hasAvailableVersion) return std::nullopt;
    return UpdateShortcut{
        .label = "有新版本",
        .systemImage = "arrow.down.circle",
        .enabled = canCheckForUpdates && !hasSoftwareUpdateError,
        .tooltip = "查看新版本并在 App 内更新",
        .identifier = "update-available-shortcut",
    };
}

std::string versionText(const std::optional<std::string>& version) {
    return version ? *version : kMissingValueText;
}

}  // namespace pylonix
