#include "ui/symbol_table.h"

#include <array>

namespace pylonix {

std::span<const SymbolGlyph> symbolTable() {
    // The regular Material Icons set has filled glyphs only; outlined symbols take the
    // glyph that is drawn as an outline ("warning_amber", "info_outline").
    static constexpr std::array kTable = {
        SymbolGlyph{"exclamationmark.triangle", "warning_amber"},
        SymbolGlyph{"exclamationmark.triangle.fill", "warning"},
        SymbolGlyph{"exclamationmark.circle.fill", "error"},
        SymbolGlyph{"powerplug.fill", "power"},
        SymbolGlyph{"bolt.fill", "bolt"},
        SymbolGlyph{"battery.50", "battery_4_bar"},
        SymbolGlyph{"battery.75", "battery_5_bar"},
        SymbolGlyph{"arrow.down.circle.fill", "download_for_offline"},
        SymbolGlyph{"arrow.down.circle", "arrow_circle_down"},
        SymbolGlyph{"info.circle", "info_outline"},
        SymbolGlyph{"xmark.circle.fill", "cancel"},
        SymbolGlyph{"pause.fill", "pause"},
        SymbolGlyph{"checkmark", "check"},
        SymbolGlyph{"chart.bar.xaxis", "bar_chart"},
        SymbolGlyph{"square.stack.3d.up", "layers"},
        SymbolGlyph{"app.fill", "apps"},
        SymbolGlyph{"chevron.down", "expand_more"},
        SymbolGlyph{"gearshape", "settings"},
    };
    return kTable;
}

std::string_view materialIconFor(std::string_view symbol) {
    for (const SymbolGlyph& entry : symbolTable()) {
        if (entry.symbol == symbol) return entry.materialIcon;
    }
    return {};
}

}  // namespace pylonix
