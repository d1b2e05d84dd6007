#pragma once

#include <optional>
#include <string>

#include "apppower/power_balance.h"
#include "apppower/power_balance_snapshot.h"
#include "ui/ui_color.h"

namespace pylonix {

// The split the panel shows for a balance: only an available balance with both totals, and
// only when the two can be presented as parts that add up.
std::optional<CentiwattSplit> shownSplit(const PowerBalanceSnapshot& balance);

// Hundredths of a watt as "12.35".
std::string centiwattsText(std::int64_t centiwatts);

struct BreakdownRow {
    std::string title;
    std::string value;  // "3.33 W", or "—"
    UiColor color = UiColor::primary;

    bool operator==(const BreakdownRow&) const = default;
};

// A message line under the rows, in place of the total.
struct BreakdownStateLine {
    std::string text;
    UiColor color = UiColor::secondary;

    bool operator==(const BreakdownStateLine&) const = default;
};

struct BreakdownTotalRow {
    std::string label;
    std::string value;  // "12.35 W"
    std::string identifier;

    bool operator==(const BreakdownTotalRow&) const = default;
};

// The section that splits the whole-machine power into application CPU and the rest.
struct PowerBreakdown {
    std::string title;
    std::string systemImage;
    std::string caption;
    BreakdownRow applicationRow;
    BreakdownRow otherRow;
    std::optional<BreakdownStateLine> stateLine;  // exactly one of stateLine and totalRow
    std::optional<BreakdownTotalRow> totalRow;
    std::string footnote;
    std::string identifier;

    bool operator==(const PowerBreakdown&) const = default;
};

PowerBreakdown makePowerBreakdown(const PowerBalanceSnapshot& balance);

}  // namespace pylonix
