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

// Fills the text's outline in the glyph colour over a rim of `rimWidth` pixels.
void drawOutlinedText(QPainter& painter, const QFont& font, const QString& text, QPointF baseline,
                      qreal rimWidth) {
    QPainterPath path;
    path.addText(baseline, font, text);
    painter.strokePath(path, QPen(kRimColor, rimWidth * 2, Qt::SolidLine, Qt::RoundCap,
                                  Qt::RoundJoin));
    painter.fillPath(path, kGlyphColor);
}

// Draws `text` as large as fits into `box`, centred; the font is chosen at this pixel size.
void drawFitted(QPainter& painter, const QString& text, const QRectF& box, bool isSymbol,
                qreal rimWidth) {
    int pixelSize = static_cast<int>(box.height() * (isSymbol ? 1.0 : 1.4));
    QFont font = isSymbol ? symbolFont(pixelSize) : figureFont(pixelSize);
    QRectF bounds = QFontMetricsF(font).tightBoundingRect(text);
    while (pixelSize > 1 && (bounds.width() > box.width() || bounds.height() > box.height())) {
        --pixelSize;
        font = isSymbol ? symbolFont(pixelSize) : figureFont(pixelSize);
        bounds = QFontMetricsF(font).tightBoundingRect(text);
    }
    const QPointF baseline(box.center().x() - bounds.center().x(),
                           box.center().y() - bounds.center().y());
    drawOutlinedText(painter, font, text, baseline, rimWidth);
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
    QRectF box(rim, rim, size - 2 * rim, size - 2 * rim);
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
    for (const QImage& image : drawTrayIconSizes(content)) icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

}  // namespace pylonix
