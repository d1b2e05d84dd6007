#include "platform/linux/desktop/desktop_reduce_motion.h"

#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <charconv>
#include <string>

namespace pylonix::linux_platform {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<bool> gnomeSetting() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (program.isEmpty()) return std::nullopt;
    QProcess process;
    process.start(program, {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                            QStringLiteral("enable-animations")});
    // gsettings answers at once; a hung one must not hold up the panel.
    if (!process.waitForFinished(1000)) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    return reduceMotionFromGnomeSetting(process.readAllStandardOutput().toStdString());
}

std::optional<bool> kdeSetting() {
    const QString file =
        QStandardPaths::locate(QStandardPaths::GenericConfigLocation, QStringLiteral("kdeglobals"));
    if (file.isEmpty()) return std::nullopt;
    const QSettings settings(file, QSettings::IniFormat);
    const QVariant factor = settings.value(QStringLiteral("KDE/AnimationDurationFactor"));
    if (!factor.isValid()) return std::nullopt;
    return reduceMotionFromKdeFactor(factor.toString().toStdString());
}

}  // namespace

std::optional<bool> reduceMotionFromGnomeSetting(std::string_view gsettingsOutput) {
    const std::string_view value = trimmed(gsettingsOutput);
    if (value == "false") return true;
    if (value == "true") return false;
    return std::nullopt;
}

std::optional<bool> reduceMotionFromKdeFactor(std::string_view factor) {
    const std::string_view value = trimmed(factor);
    double number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return number <= 0;
}

bool desktopRequestsReducedMotion() {
    // The running desktop's own setting first; the other may be a leftover.
    const bool plasma = qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QStringLiteral("KDE"));
    const auto first = plasma ? kdeSetting() : gnomeSetting();
    if (first) return *first;
    return (plasma ? gnomeSetting() : kdeSetting()).value_or(false);
}

}  // namespace pylonix::linux_platform
