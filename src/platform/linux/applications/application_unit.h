#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pylonix::linux_platform {

// The desktop ids a process's systemd unit may stand for, most likely first. `unit` is a unit
// name or a whole cgroup path (as in /proc/<pid>/cgroup after "0::"); the innermost unit that
// names an application counts:
// - app[-<launcher>]-<id>-<random>.scope and app[-<launcher>]-<id>[@<random>].service, as
//   launchers name them (GNOME: app-gnome-<id>-<pid>.scope; Flatpak: app-flatpak-<id>-<n>.scope;
//   KDE: app-<id>-<random>.scope); whether a launcher part is there cannot be told from the
//   name, so both readings are returned;
// - snap.<snap>.<app>-<uuid>.scope (and the older snap.<snap>.<app>.<uuid>.scope, and the
//   snap.<snap>.<app>.service of a snap's daemon): the snap's entry "<snap>_<app>";
// - otherwise an app-<id>.slice that holds the process's unit (a terminal's tabs run in their
//   own scopes inside the terminal's slice).
// '-' inside an id is escaped as \x2d, and undone. Empty when no unit names an application.
std::vector<std::string> applicationUnitDesktopIds(std::string_view unit);

}  // namespace pylonix::linux_platform
