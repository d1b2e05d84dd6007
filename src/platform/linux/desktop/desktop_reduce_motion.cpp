#include "platform/linux/desktop/desktop_reduce_motion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThreadPool>
#include <charconv>
#include <string>

#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

// kdeglobals holds every KDE setting of the user, colour schemes included; a few kilobytes.
constexpr std::size_t kKdeGlobalsCap = 1 << 20;

}  // namespace

std::optional<bool> reduceMotionFromGnomeSetting(std::string_view gsettingsOutput) {
    const std::string_view value = trimSpace(gsettingsOutput);
    if (value == "false") return true;
    if (value == "true") return false;
    return std::nullopt;
}

std::optional<bool> reduceMotionFromKdeFactor(std::string_view factor) {
    const std::string_view value = trimSpace(factor);
    double number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return number <= 0;
}

std::optional<std::string_view> kdeAnimationDurationFactor(std::string_view kdeglobals) {
    bool inKdeGroup = false;
    while (!kdeglobals.empty()) {
        const std::string_view line = trimSpace(takePiece(kdeglobals, '\n'));
        if (line.starts_with('[')) {
            inKdeGroup = line == "[KDE]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inKdeGroup || equals == std::string_view::npos) continue;
        if (trimSpace(line.substr(0, equals)) == "AnimationDurationFactor") {
            return trimSpace(line.substr(equals + 1));
        }
    }
    return std::nullopt;
}

DesktopReduceMotion::Sources DesktopReduceMotion::sessionSources() {
    return {
        .gsettings = {},
        .kdeglobals = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      QStringLiteral("/kdeglobals"),
        .plasmaFirst = qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QStringLiteral("KDE")),
    };
}

DesktopReduceMotion::DesktopReduceMotion(Sources sources, QObject* parent)
    : QObject(parent),
      sources_(std::move(sources)),
      gnome_(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"),
             sources_.gsettings) {
    connect(&gnome_, &GSettingsKey::changed, this, &DesktopReduceMotion::update);
    // Editors and KDE itself replace the file rather than write into it: the directory is
    // watched too, and the file again once it is back.
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        watchKde();
        readKde();
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchKde();
        readKde();
    });
    watchKde();
    readKde();
}

DesktopReduceMotion::~DesktopReduceMotion() = default;

void DesktopReduceMotion::watchKde() {
    if (sources_.kdeglobals.isEmpty()) return;
    const QString directory = QFileInfo(sources_.kdeglobals).absolutePath();
    if (QFileInfo::exists(directory) && !watcher_.directories().contains(directory)) {
        watcher_.addPath(directory);
    }
    if (QFileInfo::exists(sources_.kdeglobals) && !watcher_.files().contains(sources_.kdeglobals)) {
        watcher_.addPath(sources_.kdeglobals);
    }
}

void DesktopReduceMotion::readKde() {
    if (sources_.kdeglobals.isEmpty()) return;
    const std::uint64_t read = ++*latestRead_;
    QThreadPool::globalInstance()->start([this, read, latest = std::weak_ptr(latestRead_),
                                          path = sources_.kdeglobals.toStdString()] {
        std::optional<bool> reduce;
        if (const auto content = readOutsideFile(path, kKdeGlobalsCap)) {
            if (const auto factor = kdeAnimationDurationFactor(*content)) {
                reduce = reduceMotionFromKdeFactor(*factor);
            }
        }
        // Back on the main thread, where this object lives and dies.
        QMetaObject::invokeMethod(QCoreApplication::instance(), [this, read, latest, reduce] {
            const auto alive = latest.lock();
            if (!alive || *alive != read) return;
            kde_ = reduce;
            update();
        });
    });
}

void DesktopReduceMotion::update() {
    const std::optional<QString>& gnomeValue = gnome_.value();
    const std::optional<bool> gnome =
        gnomeValue ? reduceMotionFromGnomeSetting(gnomeValue->toStdString()) : std::nullopt;
    const std::optional<bool>& first = sources_.plasmaFirst ? kde_ : gnome;
    const std::optional<bool>& second = sources_.plasmaFirst ? gnome : kde_;
    const bool reduce = first.value_or(second.value_or(false));
    if (reduce == reduceMotion_) return;
    reduceMotion_ = reduce;
    emit reduceMotionChanged(reduce);
}

}  // namespace pylonix::linux_platform
