#include "platform/linux/tray/tray_host.h"

#include <array>
#include <optional>

namespace pylonix::linux_platform {
namespace {

// Watcher owners by their process name. The kernel cuts `comm` to 15 characters, so the
// Ayatana service appears as "ayatana-indica" and is matched by prefix.
struct KnownWatcher {
    std::string_view processPrefix;
    bool showsLabels;
};

constexpr std::array kKnownWatchers = {
    KnownWatcher{"gnome-shell", true},      // the AppIndicator extension runs inside the shell
    KnownWatcher{"ayatana-indica", true},   // ayatana-indicator-application-service
    KnownWatcher{"indicator-appli", true},  // indicator-application-service (Unity)
    KnownWatcher{"plasmashell", false},
    KnownWatcher{"kded", false},  // kded5, kded6
    KnownWatcher{"xfce4-panel", false},
    KnownWatcher{"panel-", false},  // XFCE panel plugins run as "panel-<n>-<plugin>"
    KnownWatcher{"lxqt-panel", false},
    KnownWatcher{"waybar", false},
    KnownWatcher{"snixembed", false},  // the bridge from StatusNotifierItem to XEmbed trays
};

std::optional<bool> labelsByWatcher(std::string_view process) {
    if (process.empty()) return std::nullopt;
    for (const KnownWatcher& known : kKnownWatchers) {
        if (process.starts_with(known.processPrefix)) return known.showsLabels;
    }
    return std::nullopt;
}

bool labelsByDesktop(std::string_view desktops) {
    // The first desktop of the list that is known decides.
    while (!desktops.empty()) {
        const std::size_t colon = desktops.find(':');
        const std::string_view desktop = desktops.substr(0, colon);
        // Under GNOME a watcher is the AppIndicator extension's; Unity's is Ayatana's.
        if (desktop == "GNOME" || desktop == "Unity" || desktop == "ubuntu") {
            return true;
        }
        if (desktop == "KDE" || desktop == "XFCE" || desktop == "LXQt" || desktop == "LXDE") {
            return false;
        }
        if (colon == std::string_view::npos) break;
        desktops.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace

bool trayHostShowsLabels(std::string_view watcherProcess, std::string_view currentDesktop) {
    return labelsByWatcher(watcherProcess).value_or(labelsByDesktop(currentDesktop));
}

}  // namespace pylonix::linux_platform
