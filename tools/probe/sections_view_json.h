#pragma once

#include "probe_json.h"
#include "ui/application_power_section.h"
#include "ui/panel_view.h"
#include "ui/power_settings_menu.h"

namespace pylonix::probe {

// What the application list and the settings menu read from a panel state beyond what the
// panel's upper sections read. `settings.version` is left empty for the caller.
struct SectionsViewInput {
    bool showsAllApplications = false;
    PowerSettingsInputs settings;
};

SectionsViewInput sectionsViewInputFromJson(const Json& json);

Json toJson(const ApplicationPowerSectionView& view);
// The button, the entries in menu order, and every alert a shown entry can open.
Json toJson(const PowerSettingsMenu& menu, const PowerSettingsInputs& inputs);

// Adds the `applications` and `settings` members to `out`, the JSON of `view`, which the
// panel made of `panel`. The probe has no icons: every row names its fallback symbol.
void addSectionsJson(Json& out, const SectionsViewInput& input, const PanelInput& panel,
                     const PanelView& view);

}  // namespace pylonix::probe
