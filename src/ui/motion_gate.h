#pragma once

namespace pylonix {

// A custom animation of the panel runs only while the view is on screen, the desktop does not
// ask for reduced motion and nothing above the panel has switched custom motion off; otherwise
// the change applies at once.
constexpr bool motionAllowed(bool isVisible, bool reduceMotion, bool suppressCustomMotion) {
    return isVisible && !reduceMotion && !suppressCustomMotion;
}

}  // namespace pylonix
