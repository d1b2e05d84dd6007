#include "ui/terminal_layout.h"

#include <algorithm>
#include <string_view>

#include "ui/terminal_text.h"

namespace pylonix {
namespace {

constexpr int kGap = 2;                // columns between a label and its value at least
constexpr int kMinimumNameWidth = 12;  // below it an application's detail gets its own line
constexpr std::string_view kBullet = "●";

int width(const TerminalLine& line) {
    int columns = 0;
    for (const TerminalSpan& span : line) columns += displayWidth(span.text);
    return columns;
}

// Cuts the line at `columns`.
TerminalLine clipped(TerminalLine line, int columns) {
    TerminalLine result;
    int used = 0;
    for (TerminalSpan& span : line) {
        const int spanWidth = displayWidth(span.text);
        if (used + spanWidth > columns) {
            span.text = std::string(prefixOfWidth(span.text, columns - used));
            if (!span.text.empty()) result.push_back(std::move(span));
            break;
        }
        used += spanWidth;
        result.push_back(std::move(span));
    }
    return result;
}

// `left` at the start and `right` at the end of one line; when both do not fit, the left
// part's last span is shortened in its middle.
TerminalLine spread(TerminalLine left, const TerminalLine& right, int columns) {
    const int room = columns - width(right) - kGap;
    if (width(left) > room && !left.empty()) {
        TerminalSpan& last = left.back();
        const int others = width(left) - displayWidth(last.text);
        last.text = truncateMiddle(last.text, std::max(0, room - others));
    }
    const int padding = columns - width(left) - width(right);
    if (padding > 0 && !right.empty())
        left.push_back({std::string(static_cast<std::size_t>(padding), ' ')});
    left.insert(left.end(), right.begin(), right.end());
    return clipped(std::move(left), columns);
}

// `text` wrapped to the width, every line in one style.
void addWrapped(std::vector<TerminalLine>& lines, const std::string& text, UiColor color,
                int columns, const std::string& indent = {}) {
    for (std::string& part : wrapToWidth(text, columns - displayWidth(indent))) {
        lines.push_back({{indent + part, color}});
    }
}

std::string padded(std::string text, int columns) {
    const int missing = columns - displayWidth(text);
    if (missing > 0) text.append(static_cast<std::size_t>(missing), ' ');
    return text;
}

void addStatusAndCard(std::vector<TerminalLine>& lines, const PanelView& panel, int columns) {
    const StatusBadge& badge = panel.statusHeader.badge;
    TerminalLine percent;
    if (panel.statusHeader.percentText)
        percent.push_back({*panel.statusHeader.percentText, UiColor::primary, true});
    lines.push_back(spread({{badge.title, badge.color, true}}, percent, columns));

    const PowerCard& card = panel.powerCard;
    lines.push_back(spread({{card.title, UiColor::primary, true}},
                           {{card.caption, UiColor::secondary}}, columns));
    const std::string figure = card.valueText + " " + card.unit;
    if (displayWidth(figure) + kGap + displayWidth(card.note) <= columns) {
        lines.push_back(
            {{figure, card.tint, true}, {std::string(kGap, ' ')}, {card.note, UiColor::secondary}});
    } else {
        lines.push_back({{figure, card.tint, true}});
        addWrapped(lines, card.note, UiColor::secondary, columns);
    }

    if (panel.errorNotice)
        addWrapped(lines, panel.errorNotice->text, panel.errorNotice->color(), columns);
    if (panel.tiles) {
        for (const PowerTile& tile : *panel.tiles) {
            lines.push_back(spread({{tile.tile.title, UiColor::secondary}},
                                   {{tile.tile.value, tile.tile.color, true}}, columns));
        }
    }
    if (panel.unavailableNotice) {
        addWrapped(lines, panel.unavailableNotice->text, panel.unavailableNotice->color(), columns);
    }
}

TerminalLine breakdownRow(const BreakdownRow& row, int columns) {
    return spread({{std::string(kBullet), row.color}, {" " + row.title}}, {{row.value}}, columns);
}

void addBreakdown(std::vector<TerminalLine>& lines, const PowerBreakdown& breakdown, int columns) {
    lines.push_back(spread({{breakdown.title, UiColor::primary, true}},
                           {{breakdown.caption, UiColor::secondary}}, columns));
    lines.push_back(breakdownRow(breakdown.applicationRow, columns));
    lines.push_back(breakdownRow(breakdown.otherRow, columns));
    if (breakdown.totalRow) {
        lines.push_back(spread({{breakdown.totalRow->label, UiColor::secondary}},
                               {{breakdown.totalRow->value, UiColor::secondary}}, columns));
    } else if (breakdown.stateLine) {
        addWrapped(lines, breakdown.stateLine->text, breakdown.stateLine->color, columns);
    }
}

// One line per application: name, detail, watts in three columns; two lines when the name
// would get too little room.
void addApplicationRows(std::vector<TerminalLine>& lines,
                        const std::vector<ApplicationPowerRow>& rows, int columns) {
    int wattsWidth = 0;
    int detailWidth = 0;
    for (const ApplicationPowerRow& row : rows) {
        wattsWidth = std::max(wattsWidth, displayWidth(row.wattsText));
        detailWidth = std::max(detailWidth, displayWidth(row.detailText));
    }
    const int nameWidth = columns - wattsWidth - detailWidth - 2 * kGap;
    for (const ApplicationPowerRow& row : rows) {
        const std::string watts(row.wattsText);
        if (nameWidth < kMinimumNameWidth) {
            lines.push_back(spread({{row.entry.name}}, {{watts, UiColor::primary, true}}, columns));
            addWrapped(lines, row.detailText, UiColor::secondary, columns, "  ");
            continue;
        }
        const std::string rightAligned =
            std::string(static_cast<std::size_t>(wattsWidth - displayWidth(watts)), ' ') + watts;
        lines.push_back({{padded(truncateMiddle(row.entry.name, nameWidth), nameWidth + kGap)},
                         {padded(row.detailText, detailWidth + kGap), UiColor::secondary},
                         {rightAligned, UiColor::primary, true}});
    }
}

void addApplications(std::vector<TerminalLine>& lines, const ApplicationPowerSectionView& section,
                     bool showsKeys, int columns) {
    lines.push_back(
        spread({{std::string(ApplicationPowerSectionView::title), UiColor::primary, true}},
               {{section.badge, UiColor::secondary}}, columns));
    if (section.message) addWrapped(lines, *section.message, UiColor::secondary, columns);
    addApplicationRows(lines, section.rows, columns);
    if (section.toggle) {
        TerminalLine toggle;
        if (showsKeys) toggle.push_back({"a ", UiColor::primary, true});
        toggle.push_back({section.toggle->label, UiColor::blue});
        lines.push_back(clipped(std::move(toggle), columns));
    }
}

void addDetails(std::vector<TerminalLine>& lines, const PowerDetails& details, int columns) {
    lines.push_back({{details.title, UiColor::primary, true}});
    for (const DetailRow& row : details.rows) {
        lines.push_back(spread({{row.label, UiColor::secondary}}, {{row.value}}, columns));
    }
    addWrapped(lines, details.sourceText, UiColor::secondary, columns);
}

const MenuEntry* entryFor(const PowerSettingsMenu& menu, SettingsAction action) {
    const auto found =
        std::find_if(menu.entries.begin(), menu.entries.end(),
                     [action](const MenuEntry& entry) { return entry.action == action; });
    return found == menu.entries.end() ? nullptr : &*found;
}

// "1-4 刷新频率 1 秒 · r 立即刷新 · q 退出 Pylonix", over as many lines as it takes.
void addKeys(std::vector<TerminalLine>& lines, const PowerSettingsMenu& settings, int columns) {
    std::vector<TerminalLine> groups;
    if (const MenuEntry* picker = entryFor(settings, SettingsAction::selectRefreshInterval)) {
        TerminalLine group{{"1-4", UiColor::primary, true},
                           {" " + picker->label, UiColor::secondary}};
        for (const MenuOption& option : picker->options) {
            if (picker->selected == option.value) group.push_back({" " + option.label});
        }
        groups.push_back(std::move(group));
    }
    for (const auto& [key, action] :
         {std::pair{"r", SettingsAction::refresh}, std::pair{"q", SettingsAction::quit}}) {
        if (const MenuEntry* entry = entryFor(settings, action)) {
            groups.push_back(
                {{key, UiColor::primary, true}, {" " + entry->label, UiColor::secondary}});
        }
    }
    TerminalLine line;
    for (TerminalLine& group : groups) {
        if (!line.empty() && width(line) + 3 + width(group) > columns) {
            lines.push_back(clipped(std::move(line), columns));
            line.clear();
        }
        if (!line.empty()) line.push_back({" · ", UiColor::secondary});
        line.insert(line.end(), group.begin(), group.end());
    }
    if (!line.empty()) lines.push_back(clipped(std::move(line), columns));
}

std::string_view sgrColour(UiColor color) {
    switch (color) {
        case UiColor::primary:
            return "";
        case UiColor::secondary:
        case UiColor::tertiary:
            return "2";
        case UiColor::green:
            return "32";
        case UiColor::blue:
            return "34";
        case UiColor::orange:
            return "33";
        case UiColor::red:
            return "31";
        case UiColor::indigo:
            return "35";
    }
    return "";
}

}  // namespace

std::vector<TerminalLine> layoutTerminalFrame(const TerminalFrameInput& input) {
    const int columns = std::max(input.width, 20);
    std::vector<TerminalLine> lines;
    addStatusAndCard(lines, input.panel, columns);
    if (input.panel.alignedBalance.state.kind() != PowerBalanceSnapshot::State::Case::collecting) {
        lines.emplace_back();
        addBreakdown(lines, input.panel.breakdown, columns);
    }
    lines.emplace_back();
    addApplications(lines, input.applications, input.showsKeys, columns);
    lines.emplace_back();
    addDetails(lines, input.panel.powerDetails, columns);
    lines.emplace_back();
    lines.push_back({{input.panel.footerUpdatedAt, UiColor::tertiary}});
    if (input.showsKeys) addKeys(lines, input.settings, columns);
    return lines;
}

std::vector<TerminalLine> terminalFrame(const TerminalViewState& state) {
    PanelInput input = state.panel;
    input.showsPowerDetails = true;
    const PanelView panel = makePanelView(input);
    const ApplicationPowerSectionView applications = makeApplicationPowerSection(
        input.applicationPower, state.showsAllApplications, panel.isIncludedInBalance,
        [](const std::string&) { return false; });
    const PowerSettingsMenu settings = makePowerSettingsMenu(state.settings);
    return layoutTerminalFrame({.panel = panel,
                                .applications = applications,
                                .settings = settings,
                                .showsKeys = state.showsKeys,
                                .width = state.width});
}

std::string renderTerminalLine(const TerminalLine& line, bool colours) {
    std::string text;
    for (const TerminalSpan& span : line) {
        std::string sgr(colours ? sgrColour(span.color) : "");
        if (colours && span.bold) sgr += sgr.empty() ? "1" : ";1";
        if (sgr.empty()) {
            text += span.text;
        } else {
            text += "\x1b[" + sgr + "m" + span.text + "\x1b[0m";
        }
    }
    return text;
}

std::string plainTerminalText(const std::vector<TerminalLine>& lines) {
    std::string text;
    for (const TerminalLine& line : lines) text += renderTerminalLine(line, false) + "\n";
    return text;
}

}  // namespace pylonix
