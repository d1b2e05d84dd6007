// The cost of one change of the tray icon's figure: every size drawn and turned into the
// images a StatusNotifierItem host reads, as the tray item does when a host asks.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include "app/tray_icon_painter.h"
#include "app/tray_icon_theme.h"
#include "platform/linux/tray/status_notifier_types.h"

namespace {

using pylonix::TrayIconContent;

TrayIconContent figure(const QString& text) {
    return {TrayIconContent::Kind::figure, text, false, QStringLiteral("download_for_offline")};
}

// A figure that changes at every iteration, over the digits a laptop's readings take.
void BM_FigureChangeAllSizes(benchmark::State& state) {
    pylonix::TrayIconPainter painter;
    const QStringList figures = {QStringLiteral("8.5"), QStringLiteral("9.1"),
                                 QStringLiteral("12"),  QStringLiteral("13"),
                                 QStringLiteral("7.6"), QStringLiteral("24")};
    for (const QString& text : figures) painter.drawSizes(figure(text));  // sizes seen once
    qsizetype next = 0;
    for (auto _ : state) {
        pylonix::linux_platform::StatusNotifierPixmaps pixmaps;
        for (const QImage& image : painter.drawSizes(figure(figures[next])))
            pixmaps.append(pylonix::linux_platform::StatusNotifierPixmap::fromImage(image));
        benchmark::DoNotOptimize(pixmaps);
        next = (next + 1) % figures.size();
    }
}
BENCHMARK(BM_FigureChangeAllSizes)->Unit(benchmark::kMicrosecond);

// One icon written into the private icon theme for hosts that load icons by name: every size
// as a PNG file under a name not written before. Ten times the drawing, which is why only the
// symbols, which seldom change, are written, never the figures.
void BM_IconThemeFilesOfANewName(benchmark::State& state) {
    QTemporaryDir folder;
    pylonix::TrayIconTheme theme(folder.path());
    pylonix::TrayIconPainter painter;
    const QStringList figures = {QStringLiteral("8.5"), QStringLiteral("9.1"),
                                 QStringLiteral("12")};
    for (const QString& text : figures) painter.drawSizes(figure(text));
    int next = 0;
    for (auto _ : state) {
        const QList<QImage> images = painter.drawSizes(figure(figures[next % figures.size()]));
        theme.add(QStringLiteral("pylonix-figure-%1").arg(next), images);
        ++next;
    }
}
BENCHMARK(BM_IconThemeFilesOfANewName)->Unit(benchmark::kMicrosecond);

// The first figure of a fresh painter: every size's fonts fitted and its glyphs drawn.
void BM_FirstFigureAllSizes(benchmark::State& state) {
    for (auto _ : state) {
        pylonix::TrayIconPainter painter;
        benchmark::DoNotOptimize(painter.drawSizes(figure(QStringLiteral("12"))));
    }
}
BENCHMARK(BM_FirstFigureAllSizes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
