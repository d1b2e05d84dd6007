#include "app/tray_icon_theme.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "app/tray_icon_painter.h"

namespace pylonix {
namespace {

// Enough for the icon shown and the one before it, which a host may still be loading.
constexpr qsizetype kKeptNames = 16;
// PNG's fastest setting: the files are small and read once.
constexpr int kPngQuality = 100;

QString sizeFolder(int pixels) {
    return QStringLiteral("%1x%1/apps").arg(pixels);
}

QString indexText() {
    QStringList folders;
    QString sections;
    for (const int pixels : kTrayIconPixelSizes) {
        folders.append(sizeFolder(pixels));
        sections +=
            QStringLiteral("\n[%1]\nSize=%2\nType=Fixed\n").arg(sizeFolder(pixels)).arg(pixels);
    }
    return QStringLiteral("[Icon Theme]\nName=Hicolor\nComment=Pylonix tray icons\nDirectories=") +
           folders.join(QLatin1Char(',')) + QLatin1Char('\n') + sections;
}

}  // namespace

TrayIconTheme::TrayIconTheme(QString folder) : folder_(std::move(folder)) {
    if (folder_.isEmpty()) return;
    const QDir theme(folder_ + QStringLiteral("/hicolor"));
    for (const int pixels : kTrayIconPixelSizes) {
        if (!theme.mkpath(sizeFolder(pixels))) return;
    }
    QSaveFile index(theme.filePath(QStringLiteral("index.theme")));
    if (!index.open(QIODevice::WriteOnly)) return;
    index.write(indexText().toUtf8());
    usable_ = index.commit();
}

TrayIconTheme::~TrayIconTheme() {
    if (!folder_.isEmpty()) QDir(folder_).removeRecursively();
}

QString TrayIconTheme::folderForThisProcess() {
    static int themes = 0;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QDir(runtime).exists()) return {};
    return runtime + QStringLiteral("/pylonix-icons-%1-%2")
                         .arg(QCoreApplication::applicationPid())
                         .arg(++themes);
}

bool TrayIconTheme::add(const QString& name, const QList<QImage>& images) {
    if (!usable_ || images.size() != static_cast<qsizetype>(kTrayIconPixelSizes.size())) {
        return false;
    }
    if (contains(name)) return true;
    const QDir theme(folder_ + QStringLiteral("/hicolor"));
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int pixels = kTrayIconPixelSizes[static_cast<std::size_t>(i)];
        // Written whole under another name, then renamed: a host never reads half a file.
        QSaveFile file(
            theme.filePath(sizeFolder(pixels) + QLatin1Char('/') + name + QStringLiteral(".png")));
        if (!file.open(QIODevice::WriteOnly) || !images[i].save(&file, "PNG", kPngQuality) ||
            !file.commit()) {
            remove(name);
            return false;
        }
    }
    names_.append(name);
    if (names_.size() > kKeptNames) remove(names_.first());
    return true;
}

void TrayIconTheme::remove(const QString& name) {
    const QDir theme(folder_ + QStringLiteral("/hicolor"));
    for (const int pixels : kTrayIconPixelSizes) {
        QFile::remove(
            theme.filePath(sizeFolder(pixels) + QLatin1Char('/') + name + QStringLiteral(".png")));
    }
    names_.removeAll(name);
}

}  // namespace pylonix
