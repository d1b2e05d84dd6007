#pragma once

#include <QColor>
#include <QImage>

#include "ui/power_menu_bar_label.h"

namespace pylonix {

// The tray label drawn as one row, as a menu bar shows it: the state symbol, 4 points, the
// value text with tabular digits and, with an update, 4 points and the 10-point badge.
// `height` is in points; the image has `devicePixelRatio` pixels per point and a transparent
// background, and is exactly as wide as the row.
QImage renderMenuBarLabel(const PowerMenuBarLabel& label, qreal height, qreal devicePixelRatio,
                          const QColor& foreground);

}  // namespace pylonix
