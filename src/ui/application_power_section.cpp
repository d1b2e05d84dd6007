#include "ui/application_power_section.h"

#include <cmath>
#include <cstdio>

#include "power/power_formatters.h"

namespace pylonix {

std::string applicationWattsText(std::optional<double> watts) {
    if (!watts || !std::isfinite(*watts)) return kMissingValueText;
    if (*watts > 0 && *watts < 0.01) return "< 0.01 W";
    const int length = std::snprintf(nullptr, 0, "%.2f W", *watts);
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.2f W", *watts);
    return text;
}

std::string applicationDetailText(const ApplicationPowerEntry& entry) {
    if (!entry.watts) return "等待可用数据";
    if (entry.measuredProcessCount < entry.knownProcessCount) {
        return "部分统计 · " + std::to_string(entry.measuredProcessCount) + "/" +
               std::to_string(entry.knownProcessCount) + " 个进程";
    }
    if (entry.measuredProcessCount < 2) return "最近采样";
    return "已合并 " + std::to_string(entry.measuredProcessCount) + " 个进程";
}

ApplicationPowerRow makeApplicationPowerRow(const ApplicationPowerEntry& entry, bool hasIcon) {
    ApplicationPowerRow row;
    row.entry = entry;
    row.hasIcon = hasIcon;
    row.wattsText = applicationWattsText(entry.watts);
    row.detailText = applicationDetailText(entry);
    row.accessibilityLabel = entry.name + "，CPU 功率 " + row.wattsText + "，" + row.detailText;
    row.tooltip = entry.name + "：" + row.detailText;
    return row;
}

std::string_view toString(ApplicationPowerSectionView::Content content) {
    using Content = ApplicationPowerSectionView::Content;
    switch (content) {
        case Content::collecting:
            return "collecting";
        case Content::unavailable:
            return "unavailable";
        case Content::empty:
            return "empty";
        case Content::list:
            return "list";
    }
    return "collecting";
}

ApplicationPowerSectionView makeApplicationPowerSection(
    const ApplicationPowerSnapshot& snapshot, bool showsAllApplications, bool isIncludedInBalance,
    const std::function<bool(const std::string& id)>& hasIcon) {
    using Content = ApplicationPowerSectionView::Content;
    using StateCase = ApplicationPowerSnapshot::State::Case;

    ApplicationPowerSectionView view;
    view.badge = isIncludedInBalance ? "分项明细" : "CPU 估算";
    view.footnote = isIncludedInBalance
                        ? "已计入上方应用 CPU 分项，不重复相加。约 2 秒平均估算，仅统计可归属进程。"
                        : "约 2 秒 CPU 平均估算，仅统计可读取且可归属进程，不代表应用的全部耗电。";

    switch (snapshot.state.kind()) {
        case StateCase::collecting:
            view.content = Content::collecting;
            view.contentKey = "collecting";
            view.message = "正在采样，约 2 秒后显示…";
            return view;
        case StateCase::unavailable: {
            const std::string message = snapshot.state.message().value_or("");
            view.content = Content::unavailable;
            view.contentKey = "unavailable:" + message;
            view.message = message;
            return view;
        }
        case StateCase::available:
            break;
    }

    view.contentKey = "available";
    const std::vector<ApplicationPowerEntry>& entries = snapshot.entries;
    if (entries.empty()) {
        view.content = Content::empty;
        view.message = "暂无可显示的运行中应用";
        return view;
    }

    view.content = Content::list;
    const bool hasMore = entries.size() > kCollapsedApplicationCount;
    const std::size_t shown =
        hasMore && !showsAllApplications ? kCollapsedApplicationCount : entries.size();
    view.rows.reserve(shown);
    for (std::size_t index = 0; index < shown; ++index) {
        const ApplicationPowerEntry& entry = entries[index];
        view.rows.push_back(makeApplicationPowerRow(entry, hasIcon && hasIcon(entry.id)));
    }
    if (hasMore) {
        view.toggle =
            showsAllApplications
                ? ApplicationListToggle{"收起列表", "已展开", 180}
                : ApplicationListToggle{"查看全部 " + std::to_string(entries.size()) + " 个应用",
                                        "已收起", 0};
    }
    return view;
}

CollapseScroll collapseScroll(bool showsAllApplications, double applicationSectionTop,
                              bool motionAllowed) {
    if (showsAllApplications || !(applicationSectionTop < 0)) return CollapseScroll::none;
    return motionAllowed ? CollapseScroll::animated : CollapseScroll::immediate;
}

}  // namespace pylonix
