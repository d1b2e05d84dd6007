#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "power/power_snapshot.h"
#include "ui/ui_color.h"
#include "ui/widgets.h"

namespace pylonix {

// How the panel names a power-supply state: title, symbol and colour of the badge, the card's
// tint and the battery tile.
struct StatusPresentation {
    std::string title;
    std::string systemImage;
    UiColor color = UiColor::primary;

    bool operator==(const StatusPresentation&) const = default;
};

StatusPresentation statusPresentation(PowerSnapshot::Status status);

// The badge and, with a battery level, the percentage beside it.
struct StatusHeader {
    StatusBadge badge;
    std::optional<std::string> percentText;
    std::optional<std::string> percentAccessibilityLabel;

    bool operator==(const StatusHeader&) const = default;
};

StatusHeader makeStatusHeader(const PowerSnapshot& snapshot);

// The failed reading's message, standing in place of the tiles.
std::optional<InlineNotice> makeErrorNotice(const PowerSnapshot& snapshot);

// A tile and the help text shown when the pointer rests on it.
struct PowerTile {
    MetricTile tile;
    std::string tooltip;

    bool operator==(const PowerTile&) const = default;
};

// The battery and adapter tiles; absent when the error notice stands in their place.
std::optional<std::array<PowerTile, 2>> makePowerTiles(const PowerSnapshot& snapshot);

// One line of the details: label on the left, value on the right.
struct DetailRow {
    std::string label;
    std::string value;

    bool operator==(const DetailRow&) const = default;
};

// The disclosure with the measured input, voltage, current and time to full charge.
struct PowerDetails {
    std::string title;
    std::string identifier;
    bool expanded = false;
    std::vector<DetailRow> rows;  // the rows that are shown, in order
    std::string sourceText;
    std::string footnote;

    bool operator==(const PowerDetails&) const = default;
};

PowerDetails makePowerDetails(const PowerSnapshot& snapshot, bool expanded);

}  // namespace pylonix
