#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pylonix {

// The value for `QT_QPA_PLATFORM`, from the user's own (absent when unset), whether an X
// display and a Wayland display are set; absent when it stays as it is.
// - No choice and an X display: the X11 platform ("xcb"), through XWayland in a Wayland
//   session, where a window can be placed under the tray item; then Wayland itself, should
//   the X display refuse the connection.
// - A single platform chosen: that one, then X11 and Wayland where their displays are set
//   (`QT_QPA_PLATFORM=wayland` exported without the Wayland plugin), instead of Qt's abort.
// - Last, "offscreen", which always loads: running on it means that none of the others did,
//   and the program ends with a message instead of Qt's abort.
// A list the user wrote (with ";") stays as it is, and so does Qt's own choice without an X
// display.
std::optional<std::string> qtPlatformRequest(std::optional<std::string_view> userChoice,
                                             bool hasXDisplay, bool hasWaylandDisplay);

// Sets `QT_QPA_PLATFORM` as `qtPlatformRequest` says, before the application object exists.
void chooseQtPlatform();
// After the application object exists: one line on standard error when the platform the user
// chose could not load and another one runs. False, after one line, when no platform that can
// show anything loaded: the program ends.
bool reportQtPlatformFallback();

// Whether the program runs as a native Wayland client.
bool onWaylandPlatform();
// Whether the desktop session is a Wayland one, the program running there natively or through
// XWayland. The compositor then tells no client where the pointer is outside the client's own
// windows, and places the client's windows itself.
bool inWaylandSession();

}  // namespace pylonix
