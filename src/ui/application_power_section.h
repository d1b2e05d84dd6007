#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apppower/application_power_model.h"

namespace pylonix {

// The number of applications the collapsed list shows.
inline constexpr std::size_t kCollapsedApplicationCount = 5;

// "—", "< 0.01 W" or the watts with two decimals ("1.24 W").
std::string applicationWattsText(std::optional<double> watts);

// What the figure of an entry rests on: "等待可用数据", "部分统计 · 3/5 个进程", "最近采样" or
// "已合并 4 个进程".
std::string applicationDetailText(const ApplicationPowerEntry& entry);

// One application's line: icon, name, detail and watts. Nothing in it is ever animated.
struct ApplicationPowerRow {
    ApplicationPowerEntry entry;
    bool hasIcon = false;  // without one the row draws `fallbackSymbol` in the secondary colour
    std::string wattsText;
    std::string detailText;
    std::string accessibilityLabel;  // the row is one accessibility element
    std::string tooltip;

    static constexpr std::string_view fallbackSymbol = "app.fill";
    static constexpr double iconSize = 26;

    bool operator==(const ApplicationPowerRow&) const = default;
};

ApplicationPowerRow makeApplicationPowerRow(const ApplicationPowerEntry& entry, bool hasIcon);

// The button under a list of more than five applications.
struct ApplicationListToggle {
    std::string label;               // "查看全部 8 个应用" or "收起列表"
    std::string accessibilityValue;  // "已收起" or "已展开"
    double chevronDegrees = 0;       // 180 while expanded

    static constexpr std::string_view systemImage = "chevron.down";
    static constexpr std::string_view identifier = "toggle-all-applications";

    bool operator==(const ApplicationListToggle&) const = default;
};

// Everything the application section shows for one snapshot.
struct ApplicationPowerSectionView {
    enum class Content { collecting, unavailable, empty, list };

    std::string badge;  // "分项明细" or "CPU 估算"
    Content content = Content::collecting;
    // The state content's identity: a change of key cross-fades the old content into the new.
    std::string contentKey;
    // The state content's text: the sampling notice, the unavailable message or the empty
    // list's text; absent while the list is shown.
    std::optional<std::string> message;
    std::vector<ApplicationPowerRow> rows;  // the rows shown, in the snapshot's order
    std::optional<ApplicationListToggle> toggle;
    std::string footnote;

    static constexpr std::string_view title = "应用 CPU 功率";
    static constexpr std::string_view titleSymbol = "square.stack.3d.up";
    static constexpr std::string_view unavailableSymbol = "info.circle";
    static constexpr std::string_view identifier = "application-power-section";

    bool operator==(const ApplicationPowerSectionView&) const = default;
};

std::string_view toString(ApplicationPowerSectionView::Content content);

// `hasIcon` tells whether the icon cache holds an icon for an application id.
ApplicationPowerSectionView makeApplicationPowerSection(
    const ApplicationPowerSnapshot& snapshot, bool showsAllApplications, bool isIncludedInBalance,
    const std::function<bool(const std::string& id)>& hasIcon);

// What collapsing the list does to the scroll area, given the last reported position of the
// section's top edge in the viewport (negative once it is scrolled above the viewport's top).
enum class CollapseScroll { none, immediate, animated };

CollapseScroll collapseScroll(bool showsAllApplications, double applicationSectionTop,
                              bool motionAllowed);

}  // namespace pylonix
