#include "app/panel_placement.h"

#include <algorithm>

namespace pylonix {

QPoint placePanel(const QRect& available, const QSize& panel, const QRect& item) {
    const int left = available.x();
    const int top = available.y();
    const int right = available.x() + available.width() - panel.width();
    const int bottom = available.y() + available.height() - panel.height();
    const auto clamp = [](int value, int low, int high) {
        return std::max(low, std::min(value, high));
    };
    if (item.isNull() || !item.isValid()) return {std::max(left, right), top};

    // Against the edge of the available area nearest the item (the one its bar is on), centred
    // on the item along that edge. An item inside the area and near that edge (a bar the
    // area does not leave out, without a window manager) is not covered; one farther in (a
    // point from a popup of hidden items) still puts the panel against the edge, not at the
    // click's height.
    constexpr int kBarReach = 64;
    const QPoint centre(item.x() + item.width() / 2, item.y() + item.height() / 2);
    const int toTop = centre.y() - available.top();
    const int toBottom = available.bottom() - centre.y();
    const int toLeft = centre.x() - available.left();
    const int toRight = available.right() - centre.x();
    // Bars along the top or bottom are the rule: a corner item belongs to them.
    const int vertical = std::min(toTop, toBottom);
    const int horizontal = std::min(toLeft, toRight);
    const bool alongTopOrBottom = vertical < kBarReach || vertical <= horizontal;
    const int nearest = alongTopOrBottom ? vertical : horizontal;
    const int centredX = clamp(centre.x() - panel.width() / 2, left, right);
    const int centredY = clamp(centre.y() - panel.height() / 2, top, bottom);
    const bool inside = nearest >= 0 && nearest < kBarReach;
    if (alongTopOrBottom && nearest == toTop)
        return {centredX, clamp(inside ? item.bottom() + 1 : top, top, bottom)};
    if (alongTopOrBottom) {
        return {centredX,
                std::max(top, inside ? std::min(bottom, item.top() - panel.height()) : bottom)};
    }
    if (nearest == toLeft) return {clamp(inside ? item.right() + 1 : left, left, right), centredY};
    return {std::max(left, inside ? std::min(right, item.left() - panel.width()) : right),
            centredY};
}

QPoint clickPosition(QPoint reported, std::optional<QPoint> pointer, const QList<QRect>& screens) {
    // The item is under the pointer when it is clicked: a point this close is the item's.
    constexpr int kItemReach = 96;
    const auto onScreen = [&](QPoint point) {
        return std::any_of(screens.begin(), screens.end(),
                           [point](const QRect& screen) { return screen.contains(point); });
    };
    const bool pointerKnown = pointer && onScreen(*pointer);
    if (!reported.isNull() && onScreen(reported) &&
        (!pointerKnown || (reported - *pointer).manhattanLength() <= kItemReach)) {
        return reported;
    }
    return pointerKnown ? *pointer : QPoint();
}

QRect knownAvailableArea(const QRect& screen, const QRect& available, bool barsUnreported) {
    if (!barsUnreported || available != screen || screen.height() <= 2 * kUnknownBarHeight) {
        return available;
    }
    return available.adjusted(0, kUnknownBarHeight, 0, 0);
}

}  // namespace pylonix
