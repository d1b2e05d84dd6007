#include "ui/system_power_panel.h"

#include <cmath>
#include <cstdio>

#include "power/power_formatters.h"

namespace pylonix {
namespace {

std::string wattsWithUnit(const std::optional<double>& watts) {
    return watts ? formatWatts(*watts) + " W" : kMissingValueText;
}

std::string voltsText(const std::optional<double>& volts) {
    if (!volts || !std::isfinite(*volts)) return kMissingValueText;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f V", *volts);
    return buffer;
}

}  // namespace

StatusPresentation statusPresentation(PowerSnapshot::Status status) {
    switch (status) {
        case PowerSnapshot::Status::charging:
            return {"充电中", "bolt.fill", UiColor::green};
        case PowerSnapshot::Status::connectedNotCharging:
            return {"已接入电源", "pause.fill", UiColor::blue};
        case PowerSnapshot::Status::fullyCharged:
            return {"电池已充满", "checkmark", UiColor::green};
        case PowerSnapshot::Status::discharging:
            return {"电池供电", "battery.50", UiColor::orange};
        case PowerSnapshot::Status::unavailable:
            return {"无法读取", "exclamationmark.triangle.fill", UiColor::red};
    }
    return {"无法读取", "exclamationmark.triangle.fill", UiColor::red};
}

StatusHeader makeStatusHeader(const PowerSnapshot& snapshot) {
    const StatusPresentation presentation = statusPresentation(snapshot.status());
    StatusHeader header;
    header.badge = {presentation.title, presentation.systemImage, presentation.color};
    if (snapshot.batteryLevel) {
        header.percentText = formatPercent(*snapshot.batteryLevel);
        header.percentAccessibilityLabel = "电池电量 " + *header.percentText;
    }
    return header;
}

std::optional<InlineNotice> makeErrorNotice(const PowerSnapshot& snapshot) {
    if (!snapshot.errorMessage) return std::nullopt;
    return InlineNotice{*snapshot.errorMessage, InlineNotice::Tone::error};
}

std::optional<std::array<PowerTile, 2>> makePowerTiles(const PowerSnapshot& snapshot) {
    if (snapshot.errorMessage) return std::nullopt;
    const auto& batteryWatts = snapshot.batteryPowerWatts;
    const bool discharging = batteryWatts && *batteryWatts < 0;
    PowerTile battery{
        .tile = {.title = discharging ? "电池放电" : "电池充电",
                 .value = batteryWatts ? wattsWithUnit(std::fabs(*batteryWatts))
                                       : std::string(kMissingValueText),
                 .systemImage = "battery.75",
                 .color = statusPresentation(snapshot.status()).color},
        .tooltip = "电池端净充放电功率，不作为额外的整机耗电分项相加。",
    };
    PowerTile adapter{
        .tile = {.title = "适配器供电能力",
                 .value = snapshot.externalConnected ? wattsWithUnit(snapshot.adapterWatts)
                                                     : std::string("未接入"),
                 .systemImage = "powerplug.fill",
                 .color = UiColor::indigo},
        .tooltip = "当前协商的供电能力，不是实际输入或电脑耗电。",
    };
    return std::array<PowerTile, 2>{std::move(battery), std::move(adapter)};
}

PowerDetails makePowerDetails(const PowerSnapshot& snapshot, bool expanded) {
    PowerDetails details;
    details.title = "电池与供电详情";
    details.identifier = "power-details-disclosure";
    details.expanded = expanded;
    details.rows = {
        {"实际输入", wattsWithUnit(snapshot.systemPower.inputWatts)},
        {"电池电压", voltsText(snapshot.voltageVolts)},
        {"电池电流", snapshot.currentAmps ? formatAmps(*snapshot.currentAmps) : kMissingValueText},
    };
    if (snapshot.isCharging && snapshot.timeRemainingMinutes) {
        details.rows.push_back({"预计充满", formatRemainingTime(*snapshot.timeRemainingMinutes)});
    }
    if (!snapshot.systemPower.source) {
        details.sourceText = "系统未提供可用的整机读数。";
    } else if (*snapshot.systemPower.source == SystemPowerReading::Source::batteryDischarge) {
        details.sourceText = "由电池放电估算，含机内供电损耗";
    } else {
        details.sourceText = "实际输入减去电池净充电，含机内供电损耗";
    }
    details.footnote = "适配器数值为供电能力；实际输入不包含适配器自身损耗，均非插座电表实测。";
    return details;
}

}  // namespace pylonix
