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

QPoint clickPosition(QPoint reported, QPoint pointer, const QList<QRect>& screens) {
    // The item is under the pointer when it is clicked: a point this close is the item's.
    constexpr int kItemReach = 96;
    const auto onScreen = [&](QPoint point) {
        return std::any_of(screens.begin(), screens.end(),
                           [point](const QRect& screen) { return screen.contains(point); });
    };
    const bool pointerKnown = onScreen(pointer);
    if (!reported.isNull() && onScreen(reported) &&
        (!pointerKnown || (reported - pointer).manhattanLength() <= kItemReach)) {
        return reported;
    }
    return pointerKnown ? pointer : QPoint();
}

}  // namespace pylonix
