#include "sections_view_json.h"

#include <string>

namespace pylonix::probe {
namespace {

std::optional<std::string> optionalText(const Json& object, const char* key,
                                        const std::string& where) {
    const Json* value = optionalMember(object, key);
    if (value == nullptr || value->is_null()) return std::nullopt;
    return stringValue(*value, where + "." + key);
}

bool flag(const Json& object, const char* key, const std::string& where, bool initial) {
    const Json* value = optionalMember(object, key);
    return value ? boolValue(*value, where.empty() ? key : where + "." + key) : initial;
}

Json rowJson(const ApplicationPowerRow& row) {
    return Json{
        {"id", row.entry.id},
        {"name", row.entry.name},
        {"wattsText", row.wattsText},
        {"detailText", row.detailText},
        {"accessibilityLabel", row.accessibilityLabel},
        {"tooltip", row.tooltip},
        {"iconSymbol",
         row.hasIcon ? Json(nullptr) : Json(std::string(ApplicationPowerRow::fallbackSymbol))}};
}

Json entryJson(const MenuEntry& entry) {
    if (entry.kind == MenuEntry::Kind::separator) return Json{{"kind", "separator"}};
    Json json{{"kind", std::string(toString(entry.kind))},
              {"label", entry.label},
              {"enabled", entry.enabled},
              {"identifier", optionalJson(entry.identifier)},
              {"shown", entry.shown},
              {"action", std::string(toString(entry.action))}};
    if (entry.tooltip) json["tooltip"] = *entry.tooltip;
    if (entry.checked) json["checked"] = *entry.checked;
    if (entry.kind == MenuEntry::Kind::picker) {
        Json options = Json::array();
        for (const MenuOption& option : entry.options) {
            options.push_back(Json{{"label", option.label}, {"value", option.value}});
        }
        json["options"] = options;
        json["selected"] = optionalJson(entry.selected);
    }
    if (entry.shortcut) json["shortcut"] = *entry.shortcut;
    return json;
}

}  // namespace

SectionsViewInput sectionsViewInputFromJson(const Json& json) {
    requireObject(json, "");
    SectionsViewInput input;
    input.showsAllApplications = flag(json, "showsAllApplications", "", false);

    PowerSettingsInputs& settings = input.settings;
    if (const Json* seconds = optionalMember(json, "refreshInterval")) {
        const auto interval =
            RefreshInterval::fromRawValue(doubleValue(*seconds, "refreshInterval"));
        if (!interval) throw InputError("refreshInterval must be one of 0.5, 1, 2 or 5");
        settings.refreshInterval = *interval;
    }
    if (const Json* login = optionalMember(json, "launchAtLogin")) {
        requireObject(*login, "launchAtLogin");
        settings.launchAtLoginEnabled = flag(*login, "isEnabled", "launchAtLogin", false);
        settings.launchAtLoginNeedsApproval = flag(*login, "needsApproval", "launchAtLogin", false);
        settings.launchAtLoginError = optionalText(*login, "errorMessage", "launchAtLogin");
    }
    if (const Json* update = optionalMember(json, "softwareUpdate")) {
        requireObject(*update, "softwareUpdate");
        if (const Json* state = optionalMember(*update, "state")) {
            const std::string where = "softwareUpdate.state";
            requireObject(*state, where);
            SoftwareUpdateState& updateState = settings.softwareUpdateState;
            updateState.canCheckForUpdates = flag(*state, "canCheckForUpdates", where, false);
            updateState.automaticallyChecksForUpdates =
                flag(*state, "automaticallyChecksForUpdates", where, false);
            if (const Json* date = optionalMember(*state, "lastCheckDate");
                date != nullptr && !date->is_null()) {
                updateState.lastCheckDate =
                    wallClockFromSeconds(doubleValue(*date, where + ".lastCheckDate"));
            }
            updateState.availableVersion = optionalText(*state, "availableVersion", where);
        }
        settings.softwareUpdateError = optionalText(*update, "startupError", "softwareUpdate");
    }
    return input;
}

Json toJson(const ApplicationPowerSectionView& view) {
    Json rows = Json::array();
    for (const ApplicationPowerRow& row : view.rows) rows.push_back(rowJson(row));
    Json toggle = nullptr;
    if (view.toggle) {
        toggle = Json{{"label", view.toggle->label},
                      {"accessibilityValue", view.toggle->accessibilityValue},
                      {"chevronDegrees", view.toggle->chevronDegrees},
                      {"symbol", std::string(ApplicationListToggle::systemImage)},
                      {"identifier", std::string(ApplicationListToggle::identifier)}};
    }
    return Json{
        {"title", std::string(ApplicationPowerSectionView::title)},
        {"symbol", std::string(ApplicationPowerSectionView::titleSymbol)},
        {"badge", view.badge},
        {"content", std::string(toString(view.content))},
        {"contentKey", view.contentKey},
        {"message", optionalJson(view.message)},
        {"messageSymbol", view.content == ApplicationPowerSectionView::Content::unavailable
                              ? Json(std::string(ApplicationPowerSectionView::unavailableSymbol))
                              : Json(nullptr)},
        {"rows", rows},
        {"toggle", toggle},
        {"footnote", view.footnote},
        {"identifier", std::string(ApplicationPowerSectionView::identifier)}};
}

Json toJson(const PowerSettingsMenu& menu, const PowerSettingsInputs& inputs) {
    Json entries = Json::array();
    Json alerts = Json::array();
    for (const MenuEntry& entry : menu.entries) {
        entries.push_back(entryJson(entry));
        if (!entry.shown) continue;
        if (const auto issue = settingsIssueFor(entry.action, inputs)) {
            alerts.push_back(Json{{"entry", entry.label},
                                  {"title", issue->title},
                                  {"message", issue->message},
                                  {"button", std::string(SettingsIssue::buttonLabel)}});
        }
    }
    return Json{
        {"label", std::string(PowerSettingsMenu::label)},
        {"symbol", std::string(PowerSettingsMenu::systemImage)},
        {"showsProblemBadge", menu.showsProblemBadge},
        {"badgeSymbol", menu.showsProblemBadge ? Json(std::string(PowerSettingsMenu::badgeSymbol))
                                               : Json(nullptr)},
        {"badgeColor",
         menu.showsProblemBadge ? Json(std::string(PowerSettingsMenu::badgeColor)) : Json(nullptr)},
        {"tooltip", menu.tooltip},
        {"accessibilityLabel", menu.accessibilityLabel},
        {"identifier", std::string(PowerSettingsMenu::identifier)},
        {"entries", entries},
        {"alerts", alerts}};
}

void addSectionsJson(Json& out, const SectionsViewInput& input, const PanelInput& panel,
                     const PanelView& view) {
    out["applications"] = toJson(makeApplicationPowerSection(
        panel.applicationPower, input.showsAllApplications, view.isIncludedInBalance, {}));
    PowerSettingsInputs settings = input.settings;
    settings.version = view.version;
    out["settings"] = toJson(makePowerSettingsMenu(settings), settings);
}

}  // namespace pylonix::probe
