#pragma once

#include <optional>
#include <string>
#include <vector>

#include "services/software_update_state.h"
#include "ui/settings_menu_entry.h"

namespace pylonix {

// The software update entries of the settings menu, top to bottom: the version line, the
// check command, the automatic-checks switch and, when the updater could not start, the entry
// that explains why (`SettingsAction::showUpdateIssue` with `startupError` as its text).
// The switch shows the published state, never a local copy.
std::vector<MenuEntry> makeSoftwareUpdateEntries(const SoftwareUpdateState& state,
                                                 const std::optional<std::string>& startupError,
                                                 const std::string& version);

}  // namespace pylonix
