#pragma once

#include <string>
#include <string_view>

#include "ui/ui_color.h"

namespace pylonix {

// A coloured capsule naming a state.
struct StatusBadge {
    std::string title;
    std::string systemImage;
    UiColor color = UiColor::primary;

    bool operator==(const StatusBadge&) const = default;
};

// A titled value with a symbol. `value` is finished text with its unit.
struct MetricTile {
    std::string title;
    std::string value;
    std::string systemImage;
    UiColor color = UiColor::primary;

    bool operator==(const MetricTile&) const = default;
};

// A one-paragraph message; its tone decides symbol and colour.
struct InlineNotice {
    enum class Tone { information, warning, error };

    std::string text;
    Tone tone = Tone::information;

    std::string_view systemImage() const;
    UiColor color() const;

    bool operator==(const InlineNotice&) const = default;
};

std::string_view toString(InlineNotice::Tone tone);

}  // namespace pylonix
