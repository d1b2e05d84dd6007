#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>
#include <array>

namespace pylonix {

// The pixel sizes of the tray icon: the sizes hosts ask for and their doubles for
// high-density screens. Each is drawn on its own pixel grid, never scaled from another.
inline constexpr std::array kTrayIconPixelSizes = {16, 22, 24, 32, 44, 48, 64, 96};

// What the square tray icon shows: the state symbol (a Material Icons ligature), or, for
// hosts that show no text beside the icon, the figure (at most three glyphs). The update
// badge sits in the lower right corner.
struct TrayIconContent {
    enum class Kind { symbol, figure };

    Kind kind = Kind::symbol;
    QString text;  // the ligature or the figure
    bool showsBadge = false;
    QString badgeGlyph;  // a Material Icons ligature

    bool operator==(const TrayIconContent&) const = default;
};

// The icon drawn at exactly `pixels` × `pixels`: light glyphs with a dark rim, readable on
// light and dark panels alike.
QImage drawTrayIcon(const TrayIconContent& content, int pixels);

// The icon at every size of `kTrayIconPixelSizes`.
QList<QImage> drawTrayIconSizes(const TrayIconContent& content);
QIcon makeTrayIcon(const TrayIconContent& content);

}  // namespace pylonix
