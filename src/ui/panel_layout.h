#pragma once

#include <optional>
#include <string>

#include "power/power_snapshot.h"
#include "ui/short_time_format.h"

namespace pylonix {

inline constexpr double kPanelWidth = 360;
inline constexpr double kPanelMaximumHeight = 780;
inline constexpr double kPanelScreenMargin = 60;

// The panel's height for a screen whose available area (without bars and docks) is
// `visibleHeight` points high; absent when there is no screen.
double panelHeight(std::optional<double> visibleHeight);

// The footer's "更新于 14:05".
std::string footerUpdatedAt(WallClockTime timestamp, const TimeTextStyle& style = {});

// The footer's shortcut to a newer version; present only when one is available.
struct UpdateShortcut {
    std::string label;
    std::string systemImage;
    bool enabled = false;
    std::string tooltip;
    std::string identifier;

    bool operator==(const UpdateShortcut&) const = default;
};

std::optional<UpdateShortcut> makeUpdateShortcut(bool hasAvailableVersion, bool canCheckForUpdates,
                                                 bool hasSoftwareUpdateError);

// The version the settings menu shows: the build's version, or "—" without one.
std::string versionText(const std::optional<std::string>& version);

}  // namespace pylonix
