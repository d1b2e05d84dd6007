#include "app/tray_icon_painter.h"

#include <QFontMetricsF>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/symbol_table.h"

namespace pylonix {
namespace {

constexpr const char* kFigureFamily = "DejaVu Sans";  // tabular digits, a condensed cut
// The widest figures, by their glyphs' advances, and the digits whose height the figure fills.
constexpr std::array kWidestFigures = {"888", "1k+", "8.8", "—"};
constexpr const char* kDigits = "0123456789";
// The size at which a figure font is measured once; the fit scales from it.
constexpr int kReferencePixels = 100;

const QColor kGlyphColor(255, 255, 255);
const QColor kPlateColor(28, 28, 30, 235);

int margin(int pixels) {
    return std::max(1, static_cast<int>(std::lround(pixels / 16.0)));
}

QRect wholeBox(int pixels) {
    const int m = margin(pixels);
    return {m, m, pixels - 2 * m, pixels - 2 * m};
}

// The figure keeps the upper part free of the badge.
QRect badgedBox(int pixels) {
    const int m = margin(pixels);
    return {m, m, pixels - 2 * m, static_cast<int>(std::lround(pixels * 0.58)) - m};
}

QRect badgeCorner(int pixels) {
    const int badge = static_cast<int>(std::lround(pixels * 0.46));
    return {pixels - badge, pixels - badge, badge, badge};
}

QFont symbolFont(int pixelSize) {
    QFont font(QString::fromLatin1(kSymbolFontFamily));
    font.setPixelSize(std::max(1, pixelSize));
    return font;
}

QFont figureFont(int pixelSize) {
    QFont font(QString::fromLatin1(kFigureFamily));
    font.setStretch(QFont::Condensed);
    font.setWeight(QFont::Bold);
    font.setPixelSize(std::max(1, pixelSize));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The widest figure's advance and the digits' ink height in `font`.
QSizeF figureExtent(const QFont& font) {
    const QFontMetricsF metrics(font);
    qreal width = 0;
    for (const char* figure : kWidestFigures) {
        width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(figure)));
    }
    return {width, metrics.tightBoundingRect(QString::fromLatin1(kDigits)).height()};
}

// The largest figure font whose widest figure fits `box`: scaled from one measurement at the
// reference size, then checked at the chosen size, where hinting may widen the glyphs a little.
QFont fittedFigureFont(const QSize& box) {
    const QSizeF reference = figureExtent(figureFont(kReferencePixels));
    const qreal scale =
        std::min(box.width() / reference.width(), box.height() / reference.height());
    int pixelSize = std::max(1, static_cast<int>(kReferencePixels * scale));
    while (pixelSize > 1) {
        const QSizeF extent = figureExtent(figureFont(pixelSize));
        if (extent.width() <= box.width() && extent.height() <= box.height()) break;
        --pixelSize;
    }
    return figureFont(pixelSize);
}

void drawPlate(QPainter& painter, int pixels) {
    const qreal radius = pixels * 0.2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPlateColor);
    painter.drawRoundedRect(QRectF(0, 0, pixels, pixels), radius, radius);
}

// `text` in `font`, its ink centred in `box`.
void drawCentred(QPainter& painter, const QFont& font, const QString& text, const QRectF& box) {
    const QRectF ink = QFontMetricsF(font).tightBoundingRect(text);
    painter.setFont(font);
    painter.setPen(kGlyphColor);
    painter.drawText(box.center() - ink.center(), text);
}

// The update badge in the lower right corner: the glyph on a ring of the plate's colour.
void drawBadge(QPainter& painter, const QFont& font, const QString& glyph, int pixels) {
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF corner = badgeCorner(pixels);
    const qreal rim = std::max(1.0, pixels / 24.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPlateColor);
    painter.drawEllipse(corner.adjusted(-rim / 2, -rim / 2, rim / 2, rim / 2));
    drawCentred(painter, font, glyph, corner);
}

class TrayIconEngine : public QIconEngine {
  public:
    TrayIconEngine(std::shared_ptr<TrayIconPainter> painter, TrayIconContent content)
        : painter_(std::move(painter)), content_(std::move(content)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->drawImage(rect, image(std::min(rect.width(), rect.height())));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return QPixmap::fromImage(image(std::min(size.width(), size.height())));
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int pixels : kTrayIconPixelSizes) sizes.append(QSize(pixels, pixels));
        return sizes;
    }
    QIconEngine* clone() const override { return new TrayIconEngine(*this); }

  private:
    QImage image(int pixels) {
        auto found = drawn_.constFind(pixels);
        if (found == drawn_.constEnd())
            found = drawn_.insert(pixels, painter_->draw(content_, pixels));
        return *found;
    }

    std::shared_ptr<TrayIconPainter> painter_;
    TrayIconContent content_;
    QHash<int, QImage> drawn_;
};

}  // namespace

TrayIconPainter::TrayIconPainter() = default;
TrayIconPainter::~TrayIconPainter() = default;

TrayIconPainter::SizeFaces& TrayIconPainter::facesFor(int pixels) {
    auto found = faces_.find(pixels);
    if (found != faces_.end()) return found->second;

    const auto fit = [](const QRect& box) {
        FigureFace face;
        face.font = fittedFigureFont(box.size());
        const QRectF ink = QFontMetricsF(face.font).tightBoundingRect(QString::fromLatin1(kDigits));
        face.baseline = (box.height() - ink.height()) / 2 - ink.top();
        return face;
    };
    SizeFaces faces{fit(wholeBox(pixels)),
                    fit(badgedBox(pixels)),
                    symbolFont(wholeBox(pixels).height()),
                    symbolFont(badgeCorner(pixels).width()),
                    {},
                    {},
                    {}};
    return faces_.emplace(pixels, std::move(faces)).first->second;
}

const TrayIconPainter::Glyph& TrayIconPainter::glyph(FigureFace& face, QChar character,
                                                     int pixels) {
    auto found = face.glyphs.constFind(character);
    if (found != face.glyphs.constEnd()) return *found;

    const QFontMetricsF metrics(face.font);
    const QString text(character);
    // The ink's bounds around the pen position, one pixel of room on every side for the
    // antialiased edge.
    const QRect ink = metrics.boundingRect(text).toAlignedRect().adjusted(-1, -1, 1, 1);
    Glyph drawn;
    drawn.advance = metrics.horizontalAdvance(text);
    drawn.origin = ink.topLeft();
    drawn.image = QImage(ink.size().boundedTo(QSize(4 * pixels, 4 * pixels)),
                         QImage::Format_ARGB32_Premultiplied);
    drawn.image.fill(Qt::transparent);
    QPainter painter(&drawn.image);
    painter.setFont(face.font);
    painter.setPen(kGlyphColor);
    painter.drawText(QPointF(-ink.left(), -ink.top()), text);
    painter.end();
    return *face.glyphs.insert(character, std::move(drawn));
}

void TrayIconPainter::drawFigure(QPainter& painter, FigureFace& face, const QString& figure,
                                 const QRect& box, int pixels) {
    qreal width = 0;
    for (const QChar character : figure) width += glyph(face, character, pixels).advance;
    qreal x = box.left() + (box.width() - width) / 2;
    const int baseline = box.top() + static_cast<int>(std::lround(face.baseline));
    for (const QChar character : figure) {
        const Glyph& drawn = glyph(face, character, pixels);
        // Whole pixels only: every glyph keeps the hinted shape it was drawn with.
        painter.drawImage(QPoint(static_cast<int>(std::lround(x)), baseline) + drawn.origin,
                          drawn.image);
        x += drawn.advance;
    }
}

// The plate of this size, with the badge when the content shows one; drawn once and kept.
const QImage& TrayIconPainter::plateFor(SizeFaces& faces, const TrayIconContent& content,
                                        int pixels) {
    if (faces.plate.isNull()) {
        faces.plate = QImage(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
        faces.plate.fill(Qt::transparent);
        QPainter painter(&faces.plate);
        painter.setRenderHint(QPainter::Antialiasing);
        drawPlate(painter, pixels);
    }
    if (!content.showsBadge) return faces.plate;
    if (faces.badgedPlate.isNull() || faces.badgeGlyph != content.badgeGlyph) {
        faces.badgedPlate = faces.plate.copy();
        faces.badgeGlyph = content.badgeGlyph;
        QPainter painter(&faces.badgedPlate);
        drawBadge(painter, faces.badgeFont, content.badgeGlyph, pixels);
    }
    return faces.badgedPlate;
}

QImage TrayIconPainter::draw(const TrayIconContent& content, int pixels) {
    pixels = std::max(1, pixels);
    SizeFaces& faces = facesFor(pixels);
    if (content.kind == TrayIconContent::Kind::symbol) {
        // Symbols change seldom: drawn whole, the badge over the symbol.
        QImage image = plateFor(faces, {}, pixels).copy();
        QPainter painter(&image);
        drawCentred(painter, faces.symbolFont, content.text, wholeBox(pixels));
        if (content.showsBadge) drawBadge(painter, faces.badgeFont, content.badgeGlyph, pixels);
        painter.end();
        return image.convertToFormat(QImage::Format_ARGB32);
    }
    QImage image = plateFor(faces, content, pixels).copy();
    {
        QPainter painter(&image);
        if (content.showsBadge) {
            drawFigure(painter, faces.badged, content.text, badgedBox(pixels), pixels);
        } else {
            drawFigure(painter, faces.whole, content.text, wholeBox(pixels), pixels);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

QList<QImage> TrayIconPainter::drawSizes(const TrayIconContent& content) {
    QList<QImage> images;
    for (const int pixels : kTrayIconPixelSizes) images.append(draw(content, pixels));
    return images;
}

QIcon makeTrayIcon(std::shared_ptr<TrayIconPainter> painter, const TrayIconContent& content) {
    return QIcon(new TrayIconEngine(std::move(painter), content));
}

}  // namespace pylonix
