#include "ui/power_menu_bar_label.h"

#include "power/power_formatters.h"
#include "ui/tray_icon_figure.h"

namespace pylonix {
namespace {

const char* menuBarSymbol(PowerSnapshot::Status status) {
    switch (status) {
        case PowerSnapshot::Status::unavailable:
            return "exclamationmark.triangle";
        case PowerSnapshot::Status::fullyCharged:
            return "powerplug.fill";
        case PowerSnapshot::Status::charging:
            return "bolt.fill";
        case PowerSnapshot::Status::connectedNotCharging:
            return "powerplug.fill";
        case PowerSnapshot::Status::discharging:
            return "battery.50";
    }
    return "exclamationmark.triangle";
}

}  // namespace

PowerMenuBarLabel makePowerMenuBarLabel(const PowerSnapshot& snapshot, bool updateAvailable) {
    PowerMenuBarLabel label;
    label.symbol = menuBarSymbol(snapshot.status());
    label.iconFigure = trayIconFigure(snapshot.systemPower.watts);
    if (const auto& watts = snapshot.systemPower.watts) {
        const std::string number = formatWatts(*watts);
        label.valueText = number + " W";
        label.accessibilityLabel = "整机耗电估算 " + number + " W，不含电池充电";
    } else {
        label.valueText = "— W";
        label.accessibilityLabel = "整机耗电暂不可用";
    }
    label.showsUpdateBadge = updateAvailable;
    label.badgeSymbol = "arrow.down.circle.fill";
    if (updateAvailable) label.accessibilityLabel += "，有软件更新可用";
    label.tooltip = "整机耗电估算，不含电池充电；面板中的分项使用约 2 秒平均值。";
    return label;
}

}  // namespace pylonix
