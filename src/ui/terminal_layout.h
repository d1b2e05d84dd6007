#pragma once

#include <string>
#include <vector>

#include "ui/application_power_section.h"
#include "ui/panel_view.h"
#include "ui/power_settings_menu.h"
#include "ui/ui_color.h"

namespace pylonix {

// A run of text in one colour and weight.
struct TerminalSpan {
    std::string text;
    UiColor color = UiColor::primary;
    bool bold = false;

    bool operator==(const TerminalSpan&) const = default;
};

// One line of the terminal view, never wider than the width it was laid out for.
using TerminalLine = std::vector<TerminalSpan>;

// What one frame of the terminal view is made of: the panel's own view models.
struct TerminalFrameInput {
    const PanelView& panel;  // made with the power details expanded
    const ApplicationPowerSectionView& applications;
    const PowerSettingsMenu& settings;  // names the interval and the actions the keys choose
    bool showsKeys = false;             // a live view that reads keys
    int width = 72;                     // in columns
};

// The panel's sections as lines, top to bottom: the status line and battery level, the
// whole-machine figure with its note, the tiles or the reading's error (and the reason there
// is no figure), the breakdown once a balance exists, the applications, the power details and
// the "updated at" line, with the keys when `showsKeys`.
std::vector<TerminalLine> layoutTerminalFrame(const TerminalFrameInput& input);

// What the terminal view shows, as the panel's inputs.
struct TerminalViewState {
    PanelInput panel;  // its power details are always shown expanded
    bool showsAllApplications = false;
    PowerSettingsInputs settings;
    bool showsKeys = false;
    int width = 72;
};

// The view models of `state` (no application has an icon in a terminal), laid out.
std::vector<TerminalLine> terminalFrame(const TerminalViewState& state);

// The line's text; with `colours`, ANSI SGR sequences for its colours and weights.
std::string renderTerminalLine(const TerminalLine& line, bool colours);

// The lines' plain text, each ended by a newline.
std::string plainTerminalText(const std::vector<TerminalLine>& lines);

}  // namespace pylonix
