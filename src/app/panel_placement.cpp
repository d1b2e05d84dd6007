#include "app/panel_placement.h"

#include <algorithm>

namespace pylonix {

QPoint placePanel(const QRect& available, const QSize& panel, const QRect& item) {
    const int right = available.x() + available.width() - panel.width();
    const int bottom = available.y() + available.height() - panel.height();
    if (item.isNull() || !item.isValid()) return {std::max(available.x(), right), available.y()};

    const int centredX = item.x() + item.width() / 2 - panel.width() / 2;
    const int x = std::max(available.x(), std::min(centredX, right));
    const bool itemBelowMiddle = item.center().y() > available.center().y();
    const int y = itemBelowMiddle ? item.y() - panel.height() : item.y() + item.height();
    return {x, std::max(available.y(), std::min(y, bottom))};
}

}  // namespace pylonix
