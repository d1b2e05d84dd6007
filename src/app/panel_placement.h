#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace pylonix {

// Where the panel's top-left corner goes on a screen whose available area (without bars and
// docks) is `available`. When the tray item's place is known (`item`, a point or the icon's
// rectangle): against the edge of the available area nearest the item, centred on the item
// along it, always inside the area. Without a place: the available area's top right.
QPoint placePanel(const QRect& available, const QSize& panel, const QRect& item);

// Where a click on the tray item was, in screen pixels, from the point the host reported and
// the pointer's position where it is known. Some hosts report a point relative to the item
// instead of the screen; a reported point that lies on no screen or far from the pointer gives
// way to the pointer, and so does none at all ((0, 0)). Null when neither is on a screen.
QPoint clickPosition(QPoint reported, std::optional<QPoint> pointer, const QList<QRect>& screens);

// The screen's available area as far as it can be known, from its whole `screen` and the
// `available` area the platform reports. A Wayland compositor may tell its clients nothing of
// its bars (to Qt's Wayland platform, none does), so that the reported area is the whole
// screen: there the top `kUnknownBarHeight` pixels are left to a bar (GNOME's top bar is 32
// pixels high, waybar's 26 by default).
constexpr int kUnknownBarHeight = 32;
QRect knownAvailableArea(const QRect& screen, const QRect& available, bool barsUnreported);

}  // namespace pylonix
