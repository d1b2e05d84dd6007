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

    // The glyphs' pixels: light over the dark plate.
    static bool isGlyph(QRgb pixel) { return qAlpha(pixel) > 200 && qGray(pixel) > 140; }
    static int glyphPixels(const QImage& image, QRect area) {
        int count = 0;
        area &= image.rect();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) count += isGlyph(image.pixel(x, y));
        }
        return count;
    }

    TrayIconPainter painter_;
};

TrayIconContent figure(const char* text, bool badge = false) {
    return {TrayIconContent::Kind::figure, QString::fromUtf8(text), badge,
            QStringLiteral("download_for_offline")};
}

TEST_F(TrayIconPainterTest, TheWidestFiguresStayInsideThePlateAtEverySize) {
    for (const char* text : {"888", "1k+", "100", "9.8", "—"}) {
        const QList<QImage> images = painter_.drawSizes(figure(text));
        ASSERT_EQ(images.size(), static_cast<qsizetype>(kTrayIconPixelSizes.size()));
        for (qsizetype i = 0; i < images.size(); ++i) {
            const QImage& image = images[i];
            const int pixels = kTrayIconPixelSizes[static_cast<std::size_t>(i)];
            SCOPED_TRACE(std::string(text) + " at " + std::to_string(pixels));
            EXPECT_EQ(image.size(), QSize(pixels, pixels));
            EXPECT_GT(glyphPixels(image, image.rect()), text[0] == '\xe2' ? 0 : pixels / 2);
            // No glyph touches the plate's edge, so none looks cut off.
            EXPECT_EQ(glyphPixels(image, QRect(0, 0, 1, pixels)), 0);
            EXPECT_EQ(glyphPixels(image, QRect(pixels - 1, 0, 1, pixels)), 0);
            EXPECT_EQ(glyphPixels(image, QRect(0, 0, pixels, 1)), 0);
            EXPECT_EQ(glyphPixels(image, QRect(0, pixels - 1, pixels, 1)), 0);
        }
    }
}

TEST_F(TrayIconPainterTest, LightGlyphsOnADarkPlateReadOnLightAndDarkPanels) {
    const QImage image = painter_.draw(figure("12"), 22);
    // The plate is opaque and dark at its centre row's ends, the glyphs light: on a white and
    // on a black panel alike the digits stand against the plate, not the panel.
    const QRgb plate = image.pixel(1, 11);
    EXPECT_GT(qAlpha(plate), 220);
    EXPECT_LT(qGray(plate), 40);
    EXPECT_GT(glyphPixels(image, image.rect()), 20);
    // The corners stay transparent (a rounded plate).
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
}

TEST_F(TrayIconPainterTest, AFigureComposedFromKeptGlyphsEqualsOneDrawnFresh) {
    // This painter has drawn other figures at every size before; the fresh one has drawn none.
    for (const char* text : {"12", "9.8", "1k+", "—", "100"}) painter_.drawSizes(figure(text));
    TrayIconPainter fresh;
    for (const char* text : {"98", "1.0", "—"}) {
        for (const bool badge : {false, true}) {
            EXPECT_EQ(painter_.drawSizes(figure(text, badge)), fresh.drawSizes(figure(text, badge)))
                << text << (badge ? " with badge" : "");
        }
    }
}

TEST_F(TrayIconPainterTest, TheFigureTheSymbolAndTheBadgeEachChangeTheImage) {
    const QImage twelve = painter_.draw(figure("12"), 22);
    EXPECT_NE(painter_.draw(figure("13"), 22), twelve);
    EXPECT_NE(painter_.draw(figure("12", true), 22), twelve);
    // With the badge the figure moves up, out of the badge's corner.
    const QImage badged = painter_.draw(figure("12", true), 48);
    EXPECT_EQ(glyphPixels(painter_.draw(figure("12"), 48), QRect(0, 40, 48, 8)) > 0, false);
    EXPECT_GT(glyphPixels(badged, QRect(26, 26, 22, 22)), 0);  // the badge's arrow ring

    // The symbol is a ligature of the icon font: two names draw two different glyphs, and
    // neither draws as the letters of its name.
    const TrayIconContent bolt{TrayIconContent::Kind::symbol, "bolt", false, {}};
    const TrayIconContent plug{TrayIconContent::Kind::symbol, "power", false, {}};
    EXPECT_NE(painter_.draw(bolt, 22), painter_.draw(plug, 22));
    EXPECT_NE(painter_.draw(bolt, 22), twelve);
    for (const TrayIconContent& symbol : {bolt, plug}) {
        const QImage image = painter_.draw(symbol, 48);
        int rows = 0;
        for (int y = 0; y < 48; ++y) rows += glyphPixels(image, QRect(0, y, 48, 1)) > 0 ? 1 : 0;
        EXPECT_GT(rows, 25) << symbol.text.toStdString();  // letters of a word would be flat
    }
}

TEST_F(TrayIconPainterTest, TheIconDrawsTheSizeAskedOf) {
    const QIcon icon = makeTrayIcon(std::make_shared<TrayIconPainter>(), figure("12"));
    EXPECT_EQ(icon.pixmap(22).toImage().convertToFormat(QImage::Format_ARGB32),
              painter_.draw(figure("12"), 22));
    EXPECT_EQ(icon.pixmap(QSize(30, 30)).size(), QSize(30, 30));
}

}  // namespace
}  // namespace pylonix
