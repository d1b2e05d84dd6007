#include "ui/power_card.h"

#include <cmath>
#include <cstdio>

#include "power/power_formatters.h"
#include "ui/power_breakdown.h"
#include "ui/system_power_panel.h"

namespace pylonix {
namespace {

std::string twoDecimals(double watts) {
    if (!std::isfinite(watts)) return kMissingValueText;
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.2f", watts);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) return kMissingValueText;
    return buffer;
}

}  // namespace

PowerCard makePowerCard(const PowerSnapshot& snapshot, const PowerBalanceSnapshot& alignedBalance) {
    PowerCard card;
    card.title = "整机耗电";
    card.caption = "遥测估算";
    card.unit = "W";
    card.valueIdentifier = "system-power-value";
    card.tint = statusPresentation(snapshot.status()).color;

    if (const auto split = shownSplit(alignedBalance)) {
        card.valueText = centiwattsText(split->totalCentiwatts);
    } else if (alignedBalance.totalWatts) {
        card.valueText = twoDecimals(*alignedBalance.totalWatts);
    } else if (snapshot.systemPower.watts) {
        card.valueText = twoDecimals(*snapshot.systemPower.watts);
    } else {
        card.valueText = kMissingValueText;
    }
    card.shownWatts =
        alignedBalance.totalWatts ? alignedBalance.totalWatts : snapshot.systemPower.watts;

    if (alignedBalance.totalWatts) {
        card.note = "约 2 秒平均 · 不含给电池充电";
    } else if (snapshot.systemPower.watts) {
        card.note = "当前读数 · 不含给电池充电";
    } else {
        card.note = "整机耗电暂不可用";
    }
    return card;
}

std::optional<InlineNotice> makeUnavailableNotice(const PowerSnapshot& snapshot,
                                                  const PowerBalanceSnapshot& alignedBalance) {
    if (snapshot.errorMessage) return std::nullopt;
    if (alignedBalance.totalWatts || snapshot.systemPower.watts) return std::nullopt;
    return InlineNotice{snapshot.systemPower.unavailableReason.value_or("整机耗电暂不可用。"),
                        InlineNotice::Tone::information};
}

}  // namespace pylonix
