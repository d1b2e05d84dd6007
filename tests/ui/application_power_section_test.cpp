#include "ui/application_power_section.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace pylonix {
namespace {

ApplicationPowerEntry entry(std::string name, std::optional<double> watts, std::int64_t measured,
                            std::int64_t known) {
    return {"/usr/share/applications/" + name + ".desktop", name, watts, measured, known};
}

ApplicationPowerSnapshot availableWith(std::size_t count) {
    ApplicationPowerSnapshot snapshot;
    snapshot.state = ApplicationPowerSnapshot::State::available();
    for (std::size_t index = 0; index < count; ++index) {
        snapshot.entries.push_back(
            entry("app" + std::to_string(index), 10.0 - static_cast<double>(index), 1, 1));
    }
    return snapshot;
}

const auto kNoIcons = [](const std::string&) { return false; };

std::vector<std::string> rowNames(const ApplicationPowerSectionView& view) {
    std::vector<std::string> names;
    for (const ApplicationPowerRow& row : view.rows) names.push_back(row.entry.name);
    return names;
}

TEST(ApplicationPowerSectionTest, WattsTextBoundaries) {
    EXPECT_EQ(applicationWattsText(std::nullopt), "—");
    EXPECT_EQ(applicationWattsText(0.0), "0.00 W");
    EXPECT_EQ(applicationWattsText(0.004), "< 0.01 W");
    EXPECT_EQ(applicationWattsText(0.0099999), "< 0.01 W") << "rounds to 0.01 but is below it";
    EXPECT_EQ(applicationWattsText(0.01), "0.01 W");
    EXPECT_EQ(applicationWattsText(1.236), "1.24 W");
    EXPECT_EQ(applicationWattsText(123.4), "123.40 W");
    const std::string huge = applicationWattsText(1e80);
    EXPECT_EQ(huge.size(), 81u + std::string(".00 W").size()) << "a huge figure is never cut short";
    EXPECT_TRUE(huge.ends_with(".00 W"));
    EXPECT_EQ(applicationWattsText(std::numeric_limits<double>::quiet_NaN()), "—");
}

TEST(ApplicationPowerSectionTest, DetailTextFirstMatchingRuleWins) {
    EXPECT_EQ(applicationDetailText(entry("a", std::nullopt, 0, 3)), "等待可用数据");
    EXPECT_EQ(applicationDetailText(entry("a", 1.0, 2, 5)), "部分统计 · 2/5 个进程");
    EXPECT_EQ(applicationDetailText(entry("a", 1.0, 1, 2)), "部分统计 · 1/2 个进程")
        << "a partial count beats the single-process rule";
    EXPECT_EQ(applicationDetailText(entry("a", 1.0, 1, 1)), "最近采样");
    EXPECT_EQ(applicationDetailText(entry("a", 1.0, 0, 0)), "最近采样");
    EXPECT_EQ(applicationDetailText(entry("a", 1.0, 3, 3)), "已合并 3 个进程");
    EXPECT_EQ(applicationDetailText(entry("a", 0.0, 12, 12)), "已合并 12 个进程");
}

TEST(ApplicationPowerSectionTest, RowAccessibilityAndTooltip) {
    const ApplicationPowerRow waiting = makeApplicationPowerRow(entry("Firefox", {}, 0, 4), false);
    EXPECT_EQ(waiting.wattsText, "—");
    EXPECT_EQ(waiting.accessibilityLabel, "Firefox，CPU 功率 —，等待可用数据");
    EXPECT_EQ(waiting.tooltip, "Firefox：等待可用数据");
    EXPECT_FALSE(waiting.hasIcon);

    const ApplicationPowerRow merged = makeApplicationPowerRow(entry("终端", 0.004, 4, 4), true);
    EXPECT_EQ(merged.accessibilityLabel, "终端，CPU 功率 < 0.01 W，已合并 4 个进程");
    EXPECT_EQ(merged.tooltip, "终端：已合并 4 个进程");
    EXPECT_TRUE(merged.hasIcon);
}

TEST(ApplicationPowerSectionTest, FiveEntriesShowAllWithoutToggle) {
    for (const bool expanded : {false, true}) {
        const auto view = makeApplicationPowerSection(availableWith(5), expanded, false, kNoIcons);
        EXPECT_EQ(view.content, ApplicationPowerSectionView::Content::list);
        EXPECT_EQ(view.rows.size(), 5u);
        EXPECT_FALSE(view.toggle);
        EXPECT_FALSE(view.message);
    }
}

TEST(ApplicationPowerSectionTest, SixEntriesCollapseToTheFirstFive) {
    const ApplicationPowerSnapshot six = availableWith(6);
    const auto collapsed = makeApplicationPowerSection(six, false, false, kNoIcons);
    EXPECT_EQ(rowNames(collapsed),
              (std::vector<std::string>{"app0", "app1", "app2", "app3", "app4"}));
    ASSERT_TRUE(collapsed.toggle);
    EXPECT_EQ(collapsed.toggle->label, "查看全部 6 个应用");
    EXPECT_EQ(collapsed.toggle->accessibilityValue, "已收起");
    EXPECT_EQ(collapsed.toggle->chevronDegrees, 0);

    const auto expanded = makeApplicationPowerSection(six, true, false, kNoIcons);
    EXPECT_EQ(expanded.rows.size(), 6u);
    EXPECT_EQ(expanded.rows.back().entry.name, "app5");
    ASSERT_TRUE(expanded.toggle);
    EXPECT_EQ(expanded.toggle->label, "收起列表");
    EXPECT_EQ(expanded.toggle->accessibilityValue, "已展开");
    EXPECT_EQ(expanded.toggle->chevronDegrees, 180);
}

TEST(ApplicationPowerSectionTest, KeepsTheSnapshotsOrder) {
    ApplicationPowerSnapshot snapshot = availableWith(0);
    snapshot.entries = {entry("low", 0.5, 1, 1), entry("waiting", {}, 0, 1),
                        entry("high", 9.0, 1, 1)};
    const auto view = makeApplicationPowerSection(snapshot, false, false, kNoIcons);
    EXPECT_EQ(rowNames(view), (std::vector<std::string>{"low", "waiting", "high"}));
}

TEST(ApplicationPowerSectionTest, StateContentTextsAndIdentityKeys) {
    const auto collecting =
        makeApplicationPowerSection(ApplicationPowerSnapshot::collecting(), true, false, kNoIcons);
    EXPECT_EQ(collecting.content, ApplicationPowerSectionView::Content::collecting);
    EXPECT_EQ(collecting.contentKey, "collecting");
    EXPECT_EQ(collecting.message, "正在采样，约 2 秒后显示…");
    EXPECT_TRUE(collecting.rows.empty());

    ApplicationPowerSnapshot failed;
    failed.state = ApplicationPowerSnapshot::State::unavailable("无法读取进程列表。");
    const auto unavailable = makeApplicationPowerSection(failed, false, false, kNoIcons);
    EXPECT_EQ(unavailable.content, ApplicationPowerSectionView::Content::unavailable);
    EXPECT_EQ(unavailable.contentKey, "unavailable:无法读取进程列表。");
    EXPECT_EQ(unavailable.message, "无法读取进程列表。");
    EXPECT_FALSE(unavailable.toggle);

    const auto empty = makeApplicationPowerSection(availableWith(0), false, false, kNoIcons);
    EXPECT_EQ(empty.content, ApplicationPowerSectionView::Content::empty);
    EXPECT_EQ(empty.contentKey, "available");
    EXPECT_EQ(empty.message, "暂无可显示的运行中应用");
    EXPECT_FALSE(empty.toggle);
    EXPECT_EQ(empty.footnote,
              "约 2 秒 CPU 平均估算，仅统计可读取且可归属进程，不代表应用的全部耗电。");

    // A different list inside the available state keeps the key: rows change without a fade.
    EXPECT_EQ(makeApplicationPowerSection(availableWith(7), false, false, kNoIcons).contentKey,
              "available");
}

TEST(ApplicationPowerSectionTest, BadgeAndFootnoteFollowTheBreakdown) {
    const auto included = makeApplicationPowerSection(availableWith(2), false, true, kNoIcons);
    EXPECT_EQ(included.badge, "分项明细");
    EXPECT_EQ(included.footnote,
              "已计入上方应用 CPU 分项，不重复相加。约 2 秒平均估算，仅统计可归属进程。");
    const auto separate = makeApplicationPowerSection(availableWith(2), false, false, kNoIcons);
    EXPECT_EQ(separate.badge, "CPU 估算");
}

TEST(ApplicationPowerSectionTest, IconsAreLookedUpByApplicationId) {
    const ApplicationPowerSnapshot snapshot = availableWith(3);
    const std::string withIcon = snapshot.entries[1].id;
    const auto view = makeApplicationPowerSection(
        snapshot, false, false, [&](const std::string& id) { return id == withIcon; });
    EXPECT_FALSE(view.rows[0].hasIcon);
    EXPECT_TRUE(view.rows[1].hasIcon);
    EXPECT_FALSE(view.rows[2].hasIcon);
    EXPECT_FALSE(makeApplicationPowerSection(snapshot, false, false, {}).rows[1].hasIcon)
        << "no icon cache at all";
}

TEST(ApplicationPowerSectionTest, CollapseScrollsOnlyWhenTheTopIsAboveTheViewport) {
    EXPECT_EQ(collapseScroll(false, -120, true), CollapseScroll::animated);
    EXPECT_EQ(collapseScroll(false, -120, false), CollapseScroll::immediate);
    EXPECT_EQ(collapseScroll(false, -0.5, true), CollapseScroll::animated);
    EXPECT_EQ(collapseScroll(false, 0, true), CollapseScroll::none);
    EXPECT_EQ(collapseScroll(false, 40, true), CollapseScroll::none);
    EXPECT_EQ(collapseScroll(true, -120, true), CollapseScroll::none) << "expanding never scrolls";
}

}  // namespace
}  // namespace pylonix
