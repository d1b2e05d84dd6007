#pragma once

#include <array>
#include <optional>
#include <string>

#include "apppower/application_power_model.h"
#include "power/power_snapshot.h"
#include "ui/panel_layout.h"
#include "ui/power_breakdown.h"
#include "ui/power_card.h"
#include "ui/power_menu_bar_label.h"
#include "ui/short_time_format.h"
#include "ui/system_power_panel.h"
#include "ui/ui_palette.h"

namespace pylonix {

// Everything the tray label and the panel are drawn from, as plain values.
struct PanelInput {
    PowerSnapshot snapshot;
    ApplicationPowerSnapshot applicationPower = ApplicationPowerSnapshot::collecting();
    bool showsPowerDetails = false;
    // The update controller's state, as far as the label and the footer read it.
    bool hasAvailableVersion = false;
    bool canCheckForUpdates = false;
    bool hasSoftwareUpdateError = false;
    std::optional<std::string> version;
    std::optional<double> screenVisibleHeight;  // absent without a screen
    TimeTextStyle timeStyle;
    // The desktop's appearance: which shade every colour name is drawn in.
    ColorScheme colorScheme = ColorScheme::light;
};

// The texts, symbols, colours and visibility of the label and of every panel section built
// here, computed from one input.
struct PanelView {
    PowerMenuBarLabel menuBarLabel;
    double width = kPanelWidth;
    double height = kPanelMaximumHeight;
    ColorScheme colorScheme = ColorScheme::light;
    std::string footerUpdatedAt;
    std::optional<UpdateShortcut> updateShortcut;
    std::string version;
    StatusHeader statusHeader;
    PowerCard powerCard;
    std::optional<InlineNotice> errorNotice;
    std::optional<std::array<PowerTile, 2>> tiles;
    std::optional<InlineNotice> unavailableNotice;
    PowerDetails powerDetails;
    PowerBalanceSnapshot alignedBalance;
    bool isIncludedInBalance = false;
    PowerBreakdown breakdown;
};

PanelView makePanelView(const PanelInput& input);

}  // namespace pylonix
