// Draws the tray icon's figures at 16, 22 and 24 pixels on a light and a dark panel strip,
// each pixel shown as a 4 × 4 block, into one PNG for checking them by eye.
// Usage: tray_icon_sheet OUT.png
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

#include "app/tray_icon_painter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tray_icon_sheet OUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    using pylonix::TrayIconContent;
    const QList<TrayIconContent> icons = {
        {TrayIconContent::Kind::figure, QStringLiteral("8.5"), false, {}},
        {TrayIconContent::Kind::figure, QStringLiteral("12"), false, {}},
        {TrayIconContent::Kind::figure, QStringLiteral("100"), false, {}},
        {TrayIconContent::Kind::figure, QStringLiteral("1k+"), false, {}},
        {TrayIconContent::Kind::figure, QStringLiteral("—"), false, {}},
        {TrayIconContent::Kind::figure, QStringLiteral("12"), true,
         QStringLiteral("download_for_offline")},
        {TrayIconContent::Kind::symbol, QStringLiteral("battery_4_bar"), false, {}},
    };
    const QList<int> sizes = {16, 22, 24};
    const QList<QColor> panels = {QColor(0xf2, 0xf2, 0xf2), QColor(0xd6, 0xd6, 0xd6),
                                  QColor(0x30, 0x30, 0x30), QColor(0x00, 0x00, 0x00)};
    constexpr int kZoom = 4;
    constexpr int kCell = 28;
    pylonix::TrayIconPainter painter;
    QImage sheet(static_cast<int>(icons.size()) * kCell * kZoom,
                 static_cast<int>(panels.size() * sizes.size()) * kCell * kZoom,
                 QImage::Format_RGB32);
    QPainter out(&sheet);
    int row = 0;
    for (const QColor& panel : panels) {
        for (const int pixels : sizes) {
            out.fillRect(0, row * kCell * kZoom, sheet.width(), kCell * kZoom, panel);
            for (int column = 0; column < icons.size(); ++column) {
                const QImage icon = painter.draw(icons[column], pixels);
                const int offset = (kCell - pixels) / 2 * kZoom;
                out.drawImage(QRect(column * kCell * kZoom + offset, row * kCell * kZoom + offset,
                                    pixels * kZoom, pixels * kZoom),
                              icon);
            }
            ++row;
        }
    }
    out.end();
    return sheet.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
