#include "app/tray_values.h"

#include "ui/power_menu_bar_label.h"
#include "ui/symbol_table.h"

namespace pylonix {
namespace {

QString glyphFor(const std::string& symbol) {
    const std::string_view glyph = materialIconFor(symbol);
    return QString::fromUtf8(glyph.data(), static_cast<qsizetype>(glyph.size()));
}

}  // namespace

TrayItemValues trayItemValues(const PowerSnapshot& snapshot, bool updateAvailable) {
    const PowerMenuBarLabel label = makePowerMenuBarLabel(snapshot, updateAvailable);
    TrayItemValues values;
    values.symbolGlyph = glyphFor(label.symbol);
    values.valueText = QString::fromStdString(label.valueText);
    values.iconFigure = QString::fromStdString(label.iconFigure);
    values.showsUpdateBadge = label.showsUpdateBadge;
    values.badgeGlyph = glyphFor(label.badgeSymbol);
    values.accessibilityLabel = QString::fromStdString(label.accessibilityLabel);
    values.tooltip = QString::fromStdString(label.tooltip);
    return values;
}

}  // namespace pylonix
