#include "platform/linux/login_item/login_items_settings.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <array>

namespace pylonix::linux_platform {
namespace {

struct SettingsTool {
    std::string_view desktop;  // as named in XDG_CURRENT_DESKTOP
    std::vector<std::string> command;
};

const std::vector<SettingsTool>& settingsTools() {
    // clang-format off
    static const std::vector<SettingsTool> tools = {
        {"GNOME", {"gnome-session-properties"}},
        {"KDE", {"systemsettings", "kcm_autostart"}},
        {"KDE", {"systemsettings5", "autostart"}},
        {"XFCE", {"xfce4-session-settings"}},
        {"MATE", {"mate-session-properties"}},
        {"X-Cinnamon", {"cinnamon-settings", "startup"}},
        {"LXQt", {"lxqt-config-session"}},
        {"Budgie", {"gnome-session-properties"}},
    };
    // clang-format on
    return tools;
}

bool desktopListContains(std::string_view list, std::string_view desktop) {
    while (!list.empty()) {
        const auto colon = list.find(':');
        if (list.substr(0, colon) == desktop) return true;
        if (colon == std::string_view::npos) break;
        list.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace

std::optional<std::vector<std::string>> loginItemsSettingsCommand(
    std::string_view currentDesktop, const std::function<bool(const std::string&)>& isInstalled) {
    for (const bool ofCurrentDesktop : {true, false}) {
        for (const SettingsTool& tool : settingsTools()) {
            if (ofCurrentDesktop && !desktopListContains(currentDesktop, tool.desktop)) continue;
            if (isInstalled(tool.command.front())) return tool.command;
        }
    }
    return std::nullopt;
}

bool openLoginItemsSettings(const std::filesystem::path& autostartDirectory) {
    const auto command = loginItemsSettingsCommand(
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(), [](const std::string& name) {
            return !QStandardPaths::findExecutable(QString::fromStdString(name)).isEmpty();
        });
    if (command) {
        QStringList arguments;
        for (std::size_t i = 1; i < command->size(); ++i) {
            arguments << QString::fromStdString((*command)[i]);
        }
        if (QProcess::startDetached(QString::fromStdString(command->front()), arguments)) {
            return true;
        }
    }
    const QString folder = QString::fromStdString(autostartDirectory.string());
    if (!QDir().mkpath(folder)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace pylonix::linux_platform
