#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace pylonix {

// Where the panel's top-left corner goes on a screen whose available area (without bars and
// docks) is `available`. Under the tray item when its place is known (`item`, a point or the
// icon's rectangle): centred on it, above it when the item sits in the lower half (a bottom
// bar), always inside the available area. Without a place: the available area's top right.
QPoint placePanel(const QRect& available, const QSize& panel, const QRect& item);

}  // namespace pylonix
