#include "app/tray_values.h"

#include <string>

#include "power/power_formatters.h"

namespace pylonix {
namespace {

// The state symbols as Material Icons ligatures.
const char* stateGlyph(PowerSnapshot::Status status) {
    switch (status) {
        case PowerSnapshot::Status::unavailable:
            return "warning_amber";
        case PowerSnapshot::Status::fullyCharged:
            return "power";
        case PowerSnapshot::Status::charging:
            return "bolt";
        case PowerSnapshot::Status::connectedNotCharging:
            return "power";
        case PowerSnapshot::Status::discharging:
            return "battery_4_bar";
    }
    return "warning_amber";
}

}  // namespace

TrayItemValues trayItemValues(const PowerSnapshot& snapshot, bool updateAvailable) {
    TrayItemValues values;
    values.symbolGlyph = QString::fromLatin1(stateGlyph(snapshot.status()));
    std::string accessibility;
    if (const auto& watts = snapshot.systemPower.watts) {
        const std::string number = formatWatts(*watts);
        values.valueText = QString::fromStdString(number + " W");
        accessibility = "整机耗电估算 " + number + " W，不含电池充电";
    } else {
        values.valueText = QStringLiteral("— W");
        accessibility = "整机耗电暂不可用";
    }
    if (updateAvailable) accessibility += "，有软件更新可用";
    values.accessibilityLabel = QString::fromStdString(accessibility);
    values.showsUpdateBadge = updateAvailable;
    values.badgeGlyph = QStringLiteral("arrow_circle_down");
    values.tooltip = QStringLiteral("整机耗电估算，不含电池充电；面板中的分项使用约 2 秒平均值。");
    return values;
}

}  // namespace pylonix
