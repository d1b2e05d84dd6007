#include "ui/power_breakdown.h"

#include <cstdlib>

#include "power/power_formatters.h"

namespace pylonix {

std::optional<CentiwattSplit> shownSplit(const PowerBalanceSnapshot& balance) {
    if (balance.state.kind() != PowerBalanceSnapshot::State::Case::available) return std::nullopt;
    if (!balance.totalWatts || !balance.applicationCPUWatts) return std::nullopt;
    return splitCentiwatts(*balance.totalWatts, *balance.applicationCPUWatts);
}

std::string centiwattsText(std::int64_t centiwatts) {
    // Whole numbers print exactly; the same digits as "%.2f" of centiwatts / 100.
    const std::int64_t magnitude = std::llabs(centiwatts);
    const std::int64_t fraction = magnitude % 100;
    return std::string(centiwatts < 0 ? "-" : "") + std::to_string(magnitude / 100) +
           (fraction < 10 ? ".0" : ".") + std::to_string(fraction);
}

PowerBreakdown makePowerBreakdown(const PowerBalanceSnapshot& balance) {
    const auto split = shownSplit(balance);
    PowerBreakdown section;
    section.title = "耗电分项";
    section.systemImage = "chart.bar.xaxis";
    section.caption = "同一时段估算";
    section.applicationRow = {
        "应用 CPU · 可读取部分",
        split ? centiwattsText(split->applicationCentiwatts) + " W" : kMissingValueText,
        UiColor::blue};
    section.otherRow = {
        "其他／未归属",
        split ? centiwattsText(split->totalCentiwatts - split->applicationCentiwatts) + " W"
              : kMissingValueText,
        UiColor::secondary};

    using Case = PowerBalanceSnapshot::State::Case;
    switch (balance.state.kind()) {
        case Case::unavailable:
            section.stateLine = {balance.state.message().value_or(""), UiColor::secondary};
            break;
        case Case::inconsistent:
            section.stateLine = {balance.state.message().value_or(""), UiColor::orange};
            break;
        case Case::collecting:
            section.stateLine = {"正在对齐整机与应用读数，约 2 秒后显示。", UiColor::secondary};
            break;
        case Case::available:
            if (split) {
                section.totalRow = {"合计 · 与上方整机耗电一致",
                                    centiwattsText(split->totalCentiwatts) + " W",
                                    "power-breakdown-total"};
            } else {
                section.stateLine = {"暂时无法计算分项。", UiColor::secondary};
            }
            break;
    }
    section.footnote =
        "其他项含未归属 CPU、GPU、屏幕、内存、外设及损耗等；按差额估算，未逐项实测。";
    section.identifier = "power-breakdown-section";
    return section;
}

}  // namespace pylonix
