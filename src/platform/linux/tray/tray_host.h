#pragma once

#include <string_view>

namespace pylonix::linux_platform {

// Whether the tray that hosts a StatusNotifierItem shows the item's text label beside its
// icon. GNOME's AppIndicator extension and the Ayatana indicator applets show it; KDE Plasma,
// the XFCE status tray and the rest give an item one square cell and show the icon only.
//
// `watcherProcess` is the short name (`/proc/<pid>/comm`) of the process that owns the
// StatusNotifierWatcher bus name, empty when unknown; it names the host precisely. Only when it
// says nothing is the desktop (`XDG_CURRENT_DESKTOP`, a colon-separated list) consulted. When
// neither is known, the answer is no: the icon then carries the figure itself, which every
// host can show.
bool trayHostShowsLabels(std::string_view watcherProcess, std::string_view currentDesktop);

}  // namespace pylonix::linux_platform
