#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pylonix::linux_platform {

// The desktop ids a systemd application unit may stand for, most specific first. Launchers
// start applications in units named app[-<launcher>]-<desktop id>-<random>.scope or
// app[-<launcher>]-<desktop id>[@<random>].service (Flatpak: app-flatpak-<id>-<n>.scope; GNOME:
// app-gnome-<id>-<pid>.scope), with '-' inside the id escaped as \x2d; whether a launcher part
// is there cannot be told from the name, so both readings are returned. Empty for a unit that
// is not an application's.
std::vector<std::string> desktopIdsFromUnit(std::string_view unit);

}  // namespace pylonix::linux_platform
