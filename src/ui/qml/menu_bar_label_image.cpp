#include "ui/qml/menu_bar_label_image.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <cmath>

#include "ui/symbol_table.h"

namespace pylonix {
namespace {

QString glyphOf(std::string_view symbol) {
    const std::string_view glyph = materialIconFor(symbol);
    return QString::fromUtf8(glyph.data(), static_cast<qsizetype>(glyph.size()));
}

QFont symbolFont(qreal pixelSize) {
    QFont font(QString::fromLatin1(kSymbolFontFamily));
    font.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    return font;
}

}  // namespace

QImage renderMenuBarLabel(const PowerMenuBarLabel& label, qreal height, qreal devicePixelRatio,
                          const QColor& foreground) {
    constexpr qreal kSpacing = 4;
    constexpr qreal kBadgeSize = 10;
    const QFont iconFont = symbolFont(height * 0.75);
    QFont textFont(QStringLiteral("Noto Sans CJK SC"));
    textFont.setPixelSize(static_cast<int>(std::lround(height * 0.6)));
    const QFont badgeFont = symbolFont(kBadgeSize);

    const QString icon = glyphOf(label.symbol);
    const QString value = QString::fromStdString(label.valueText);
    const QString badge = glyphOf(label.badgeSymbol);
    const qreal iconWidth = QFontMetricsF(iconFont).horizontalAdvance(icon);
    const qreal valueWidth = QFontMetricsF(textFont).horizontalAdvance(value);
    const qreal badgeWidth =
        label.showsUpdateBadge ? kSpacing + QFontMetricsF(badgeFont).horizontalAdvance(badge) : 0;
    const qreal width = iconWidth + kSpacing + valueWidth + badgeWidth;

    QImage image(QSize(static_cast<int>(std::ceil(width * devicePixelRatio)),
                       static_cast<int>(std::ceil(height * devicePixelRatio))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(foreground);
    qreal x = 0;
    const auto draw = [&](const QFont& font, const QString& text, qreal advance) {
        painter.setFont(font);
        painter.drawText(QRectF(x, 0, advance, height), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += advance;
    };
    draw(iconFont, icon, iconWidth);
    x += kSpacing;
    draw(textFont, value, valueWidth);
    if (label.showsUpdateBadge) {
        x += kSpacing;
        draw(badgeFont, badge, badgeWidth - kSpacing);
    }
    return image;
}

}  // namespace pylonix
