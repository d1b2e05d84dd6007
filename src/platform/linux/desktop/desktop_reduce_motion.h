#pragma once

#include <optional>
#include <string_view>

namespace pylonix::linux_platform {

// Whether the desktop asks for reduced motion. Linux has no single switch: GNOME and the
// desktops built on its settings turn animations off with
// org.gnome.desktop.interface enable-animations, KDE Plasma with an animation speed of 0
// (AnimationDurationFactor in kdeglobals). False when neither says so.
bool desktopRequestsReducedMotion();

// The answer in `gsettings get org.gnome.desktop.interface enable-animations` output
// ("false\n" asks for reduced motion); nothing for any other output.
std::optional<bool> reduceMotionFromGnomeSetting(std::string_view gsettingsOutput);

// The answer in KDE's AnimationDurationFactor ("0" asks for reduced motion); nothing when the
// value is not a number.
std::optional<bool> reduceMotionFromKdeFactor(std::string_view factor);

}  // namespace pylonix::linux_platform
