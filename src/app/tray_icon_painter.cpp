#include "app/tray_icon_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace pylonix {
namespace {

constexpr const char* kSymbolFamily = "Material Icons";
constexpr const char* kFigureFamily = "DejaVu Sans";  // tabular digits, a condensed cut

const QColor kGlyphColor(255, 255, 255);
const QColor kRimColor(0, 0, 0, 170);

QFont symbolFont(int pixelSize) {
    QFont font(QString::fromLatin1(kSymbolFamily));
    font.setPixelSize(std::max(1, pixelSize));
    return font;
}

QFont figureFont(int pixelSize) {
    QFont font(QString::fromLatin1(kFigureFamily));
    font.setStretch(QFont::Condensed);
    font.setWeight(QFont::Bold);
    font.setPixelSize(std::max(1, pixelSize));
    return font;
}

// The text's outline at `pixelSize`, its bounds at the origin.
QPainterPath textPath(const QString& text, bool isSymbol, int pixelSize) {
    QPainterPath path;
    path.addText(QPointF(0, 0), isSymbol ? symbolFont(pixelSize) : figureFont(pixelSize), text);
    return path;
}

// Draws `text` as large as its outline fits into `box`, centred, filled in the glyph colour
// over a rim of `rimWidth` pixels. The font is chosen at this pixel size, not scaled.
void drawFitted(QPainter& painter, const QString& text, const QRectF& box, bool isSymbol,
                qreal rimWidth) {
    const QRectF inner = box.adjusted(rimWidth, rimWidth, -rimWidth, -rimWidth);
    int pixelSize = static_cast<int>(box.height() * (isSymbol ? 1.0 : 1.4));
    QPainterPath path = textPath(text, isSymbol, pixelSize);
    while (pixelSize > 1 && (path.boundingRect().width() > inner.width() ||
                             path.boundingRect().height() > inner.height())) {
        path = textPath(text, isSymbol, --pixelSize);
    }
    path.translate(inner.center() - path.boundingRect().center());
    painter.strokePath(path,
                       QPen(kRimColor, rimWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, kGlyphColor);
}

}  // namespace

QImage drawTrayIcon(const TrayIconContent& content, int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal size = pixels;
    const qreal rim = std::max<qreal>(0.75, size / 24.0);
    const bool isSymbol = content.kind == TrayIconContent::Kind::symbol;
    // The figure keeps the upper part free of the badge; the symbol shares the whole square.
    // The outermost pixel row and column stay clear, so that no glyph looks cut off.
    QRectF box(1, 1, size - 2, size - 2);
    if (content.showsBadge && !isSymbol) box.setHeight(size * 0.58);
    drawFitted(painter, content.text, box, isSymbol, rim);

    if (content.showsBadge) {
        const qreal badge = std::round(size * 0.46);
        const QRectF corner(size - badge, size - badge, badge, badge);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kRimColor);
        painter.drawEllipse(corner.adjusted(rim / 2, rim / 2, -rim / 2, -rim / 2));
        QPainterPath glyph;
        const QFont font = symbolFont(static_cast<int>(badge));
        const QRectF bounds = QFontMetricsF(font).tightBoundingRect(content.badgeGlyph);
        glyph.addText(corner.center() - bounds.center(), font, content.badgeGlyph);
        painter.fillPath(glyph, kGlyphColor);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QList<QImage> drawTrayIconSizes(const TrayIconContent& content) {
    QList<QImage> images;
    for (const int pixels : kTrayIconPixelSizes) images.append(drawTrayIcon(content, pixels));
    return images;
}

QIcon makeTrayIcon(const TrayIconContent& content) {
    QIcon icon;
    for (const QImage& image : drawTrayIconSizes(content))
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

}  // namespace pylonix
