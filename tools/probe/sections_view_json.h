#pragma once

#include "probe_json.h"
#include "services/power_settings_menu.h"
#include "ui/application_power_section.h"

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

}  // namespace pylonix::probe
