#include "view_json.h"

#include "apppower_json.h"

namespace pylonix::probe {
namespace {

std::string path(const std::string& where, const char* key) {
    return where.empty() ? std::string(key) : where + "." + key;
}

std::optional<std::string> optionalString(const Json& object, const char* key,
                                          const std::string& where) {
    const Json* value = optionalMember(object, key);
    if (value == nullptr) return std::nullopt;
    return stringValue(*value, path(where, key));
}

bool optionalBool(const Json& object, const char* key, const std::string& where, bool initial) {
    const Json* value = optionalMember(object, key);
    return value ? boolValue(*value, path(where, key)) : initial;
}

Json noticeJson(const std::optional<InlineNotice>& notice) {
    if (!notice) return nullptr;
    return Json{{"text", notice->text},
                {"tone", toString(notice->tone)},
                {"symbol", std::string(notice->systemImage())},
                {"color", toString(notice->color())}};
}

Json menuBarLabelJson(const PowerMenuBarLabel& label) {
    return Json{{"symbol", label.symbol},
                {"valueText", label.valueText},
                {"showsUpdateBadge", label.showsUpdateBadge},
                {"badgeSymbol", label.showsUpdateBadge ? Json(label.badgeSymbol) : Json(nullptr)},
                {"accessibilityLabel", label.accessibilityLabel},
                {"tooltip", label.tooltip}};
}

Json panelJson(const PanelView& view) {
    Json shortcut = nullptr;
    if (view.updateShortcut) {
        shortcut = Json{{"label", view.updateShortcut->label},
                        {"symbol", view.updateShortcut->systemImage},
                        {"enabled", view.updateShortcut->enabled},
                        {"tooltip", view.updateShortcut->tooltip},
                        {"identifier", view.updateShortcut->identifier}};
    }
    return Json{{"width", view.width},
                {"height", view.height},
                {"colorScheme", toString(view.colorScheme)},
                {"footerUpdatedAt", view.footerUpdatedAt},
                {"updateShortcut", shortcut},
                {"version", view.version}};
}

Json statusHeaderJson(const StatusHeader& header) {
    return Json{{"title", header.badge.title},
                {"symbol", header.badge.systemImage},
                {"color", toString(header.badge.color)},
                {"percentText", optionalJson(header.percentText)},
                {"percentAccessibilityLabel", optionalJson(header.percentAccessibilityLabel)}};
}

Json powerCardJson(const PowerCard& card) {
    return Json{{"title", card.title},         {"caption", card.caption},
                {"valueText", card.valueText}, {"unit", card.unit},
                {"note", card.note},           {"shownWatts", optionalJson(card.shownWatts)},
                {"tint", toString(card.tint)}, {"valueIdentifier", card.valueIdentifier}};
}

Json tilesJson(const std::optional<std::array<PowerTile, 2>>& tiles) {
    if (!tiles) return nullptr;
    Json list = Json::array();
    for (const PowerTile& tile : *tiles) {
        list.push_back(Json{{"title", tile.tile.title},
                            {"value", tile.tile.value},
                            {"symbol", tile.tile.systemImage},
                            {"color", toString(tile.tile.color)},
                            {"tooltip", tile.tooltip}});
    }
    return list;
}

Json powerDetailsJson(const PowerDetails& details) {
    Json rows = Json::array();
    for (const DetailRow& row : details.rows) {
        rows.push_back(Json{{"label", row.label}, {"value", row.value}});
    }
    return Json{{"title", details.title},           {"identifier", details.identifier},
                {"expanded", details.expanded},     {"rows", rows},
                {"sourceText", details.sourceText}, {"footnote", details.footnote}};
}

Json breakdownJson(const PowerBreakdown& section) {
    Json stateLine = nullptr;
    if (section.stateLine) {
        stateLine =
            Json{{"text", section.stateLine->text}, {"color", toString(section.stateLine->color)}};
    }
    Json totalRow = nullptr;
    if (section.totalRow) {
        totalRow = Json{{"label", section.totalRow->label},
                        {"value", section.totalRow->value},
                        {"identifier", section.totalRow->identifier}};
    }
    return Json{{"title", section.title},
                {"symbol", section.systemImage},
                {"caption", section.caption},
                {"applicationTitle", section.applicationRow.title},
                {"applicationValue", section.applicationRow.value},
                {"otherTitle", section.otherRow.title},
                {"otherValue", section.otherRow.value},
                {"stateLine", stateLine},
                {"totalRow", totalRow},
                {"footnote", section.footnote},
                {"identifier", section.identifier}};
}

}  // namespace

PanelInput panelInputFromJson(const Json& json) {
    requireObject(json, "");
    PanelInput input;
    if (const Json* snapshot = optionalMember(json, "snapshot")) {
        input.snapshot = powerSnapshotFromJson(*snapshot, "snapshot");
    }
    if (const Json* applicationPower = optionalMember(json, "applicationPower")) {
        input.applicationPower =
            applicationPowerSnapshotFromJson(*applicationPower, "applicationPower");
    }
    input.showsPowerDetails = optionalBool(json, "showsPowerDetails", "", false);
    if (const Json* update = optionalMember(json, "softwareUpdate")) {
        requireObject(*update, "softwareUpdate");
        if (const Json* state = optionalMember(*update, "state")) {
            requireObject(*state, "softwareUpdate.state");
            input.canCheckForUpdates =
                optionalBool(*state, "canCheckForUpdates", "softwareUpdate.state", false);
            input.hasAvailableVersion =
                optionalString(*state, "availableVersion", "softwareUpdate.state").has_value();
        }
        input.hasSoftwareUpdateError =
            optionalString(*update, "startupError", "softwareUpdate").has_value();
    }
    input.version = optionalString(json, "version", "");
    if (const Json* height = optionalMember(json, "screenVisibleHeight")) {
        input.screenVisibleHeight = doubleValue(*height, "screenVisibleHeight");
    }
    if (const Json* scheme = optionalMember(json, "colorScheme")) {
        const std::string text = stringValue(*scheme, "colorScheme");
        const std::optional<ColorScheme> parsed = colorSchemeFromString(text);
        if (!parsed) {
            throw InputError("colorScheme: \"" + text + "\" is neither \"light\" nor \"dark\"");
        }
        input.colorScheme = *parsed;
    }
    return input;
}

Json toJson(const PanelView& view) {
    return Json{{"menuBarLabel", menuBarLabelJson(view.menuBarLabel)},
                {"panel", panelJson(view)},
                {"statusHeader", statusHeaderJson(view.statusHeader)},
                {"powerCard", powerCardJson(view.powerCard)},
                {"errorNotice", noticeJson(view.errorNotice)},
                {"tiles", tilesJson(view.tiles)},
                {"unavailableNotice", noticeJson(view.unavailableNotice)},
                {"powerDetails", powerDetailsJson(view.powerDetails)},
                {"alignedBalance", toJson(view.alignedBalance)},
                {"isIncludedInBalance", view.isIncludedInBalance},
                {"breakdown", breakdownJson(view.breakdown)}};
}

}  // namespace pylonix::probe
