#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace pylonix {

// Where the panel's top-left corner goes on a screen whose available area (without bars and
// docks) is `available`. When the tray item's place is known (`item`, a point or the icon's
// rectangle): against the edge of the available area nearest the item, centred on the item
// along it, always inside the area. Without a place: the available area's top right.
QPoint placePanel(const QRect& available, const QSize& panel, const QRect& item);

// Where a click on the tray item was, in screen pixels, from the point the host reported and
// the pointer's position. Some hosts report a point relative to the item instead of the
// screen; a reported point that lies on no screen or far from the pointer gives way to the
// pointer, and so does none at all ((0, 0)). Null when neither is on a screen.
QPoint clickPosition(QPoint reported, QPoint pointer, const QList<QRect>& screens);

}  // namespace pylonix
