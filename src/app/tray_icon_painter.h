#pragma once

#include <QFont>
#include <QHash>
#include <QIcon>

class QPainter;
#include <QImage>
#include <QList>
#include <QString>
#include <array>
#include <map>
#include <memory>

namespace pylonix {

// The pixel sizes of the tray icon: the sizes hosts ask for and their doubles for
// high-density screens. Each is drawn on its own pixel grid, never scaled from another.
inline constexpr std::array kTrayIconPixelSizes = {16, 22, 24, 32, 44, 48, 64, 96};

// What the square tray icon shows: the state symbol (a Material Icons ligature), or, for
// hosts that show no text beside the icon, the figure (at most three of "0123456789.k+—").
// The update badge sits in the lower right corner.
struct TrayIconContent {
    enum class Kind { symbol, figure };

    Kind kind = Kind::symbol;
    QString text;  // the ligature or the figure
    bool showsBadge = false;
    QString badgeGlyph;  // a Material Icons ligature

    bool operator==(const TrayIconContent&) const = default;
};

// Draws the tray icon: light glyphs on a dark rounded plate, which reads on light and dark
// panels alike. Each size's fonts are chosen once, the first time the size is drawn, and the
// glyphs of figures are drawn once per size and kept; a new figure is composed from them, a
// few small image copies per size. Main-thread only (it draws with fonts).
class TrayIconPainter {
  public:
    TrayIconPainter();
    ~TrayIconPainter();
    TrayIconPainter(const TrayIconPainter&) = delete;
    TrayIconPainter& operator=(const TrayIconPainter&) = delete;

    // The icon at exactly `pixels` × `pixels`.
    QImage draw(const TrayIconContent& content, int pixels);
    // The icon at every size of `kTrayIconPixelSizes`.
    QList<QImage> drawSizes(const TrayIconContent& content);

  private:
    struct Glyph {
        QImage image;  // the glyph in the light colour, its origin at `origin`
        QPoint origin;
        qreal advance = 0;
    };
    // The figure's font fitted to one box, and the glyphs drawn with it so far.
    struct FigureFace {
        QFont font;
        qreal baseline = 0;  // from the box's top
        QHash<QChar, Glyph> glyphs;
    };
    struct SizeFaces {
        FigureFace whole;   // the figure alone
        FigureFace badged;  // the figure above the badge
        QFont symbolFont;
        QFont badgeFont;
        QImage plate;  // the plate alone, and with the badge of `badgeGlyph`
        QImage badgedPlate;
        QString badgeGlyph;
    };

    SizeFaces& facesFor(int pixels);
    const Glyph& glyph(FigureFace& face, QChar character, int pixels);
    void drawFigure(QPainter& painter, FigureFace& face, const QString& figure, const QRect& box,
                    int pixels);
    const QImage& plateFor(SizeFaces& faces, const TrayIconContent& content, int pixels);

    std::map<int, SizeFaces> faces_;
};

// A tray icon that draws only the sizes asked of it, each on first request.
QIcon makeTrayIcon(std::shared_ptr<TrayIconPainter> painter, const TrayIconContent& content);

}  // namespace pylonix
