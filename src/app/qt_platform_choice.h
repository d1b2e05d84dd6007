#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pylonix {

// The value for `QT_QPA_PLATFORM`, from the user's own (absent when unset) and whether an X
// display is set; absent when it stays as it is.
// - No choice and an X display: the X11 platform ("xcb"), through XWayland in a Wayland
//   session, where a window can be placed under the tray item and grab the pointer.
// - A single platform chosen and an X display: that one, then "xcb" should it fail to load
//   (`QT_QPA_PLATFORM=wayland` exported without the Wayland plugin), instead of Qt's abort.
std::optional<std::string> qtPlatformRequest(std::optional<std::string_view> userChoice,
                                             bool hasDisplay);

// Sets `QT_QPA_PLATFORM` as `qtPlatformRequest` says, before the application object exists.
void chooseQtPlatform();
// After the application object exists: one line on standard error when the platform the user
// chose could not load and another one runs.
void reportQtPlatformFallback();

}  // namespace pylonix
