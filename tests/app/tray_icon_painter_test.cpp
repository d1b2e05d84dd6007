#include "app/tray_icon_painter.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

namespace pylonix {
namespace {

class TrayIconPainterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "tray_icon_painter_test";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (QGuiApplication::instance() == nullptr) new QGuiApplication(argc, argv);
    }

    // Pixels that are not fully transparent in column `x`.
    static int opaqueInColumn(const QImage& image, int x) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        return count;
    }
    static int opaqueInRow(const QImage& image, int y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        return count;
    }
};

const TrayIconContent kWidestFigure{TrayIconContent::Kind::figure, "100", false,
                                    "arrow_circle_down"};

TEST_F(TrayIconPainterTest, EverySizeIsSquareAndTheWidestFigureStaysInside) {
    const QList<QImage> images = drawTrayIconSizes(kWidestFigure);
    ASSERT_EQ(images.size(), static_cast<qsizetype>(kTrayIconPixelSizes.size()));
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage& image = images[i];
        const int pixels = kTrayIconPixelSizes[static_cast<std::size_t>(i)];
        SCOPED_TRACE(pixels);
        EXPECT_EQ(image.size(), QSize(pixels, pixels));
        // Drawn, and not cut by the square's edges.
        int middle = 0;
        for (int x = 0; x < pixels; ++x) middle += opaqueInColumn(image, x);
        EXPECT_GT(middle, pixels);
        EXPECT_EQ(opaqueInColumn(image, 0), 0);
        EXPECT_EQ(opaqueInColumn(image, pixels - 1), 0);
        EXPECT_EQ(opaqueInRow(image, 0), 0);
        EXPECT_EQ(opaqueInRow(image, pixels - 1), 0);
    }
}

TEST_F(TrayIconPainterTest, TheFigureTheSymbolAndTheBadgeEachChangeTheImage) {
    const QImage figure = drawTrayIcon(kWidestFigure, 22);
    TrayIconContent other = kWidestFigure;
    other.text = QStringLiteral("108");
    EXPECT_NE(drawTrayIcon(other, 22), figure);

    TrayIconContent badged = kWidestFigure;
    badged.showsBadge = true;
    EXPECT_NE(drawTrayIcon(badged, 22), figure);

    // The symbol is a ligature of the icon font: two names draw two different glyphs, and
    // neither draws as the letters of its name.
    const TrayIconContent bolt{TrayIconContent::Kind::symbol, "bolt", false, {}};
    const TrayIconContent plug{TrayIconContent::Kind::symbol, "power", false, {}};
    EXPECT_NE(drawTrayIcon(bolt, 22), drawTrayIcon(plug, 22));
    EXPECT_NE(drawTrayIcon(bolt, 22), figure);
    for (const TrayIconContent& symbol : {bolt, plug}) {
        const QImage image = drawTrayIcon(symbol, 48);
        int rows = 0;
        for (int y = 0; y < 48; ++y) rows += opaqueInRow(image, y) > 0 ? 1 : 0;
        EXPECT_GT(rows, 30) << symbol.text.toStdString();  // letters of a word would be flat
    }
}

}  // namespace
}  // namespace pylonix
