#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pylonix {

// The path of the outermost application bundle that `path` lies in: the path up to and
// including its first component whose name ends with ".app" in any letter case, with the
// letter case kept. Nothing when no component does (also for an empty path).
//
// Components are split like the platform's path splitting: a leading "/" is a component of its
// own, repeated separators count once, and the result joins components with single "/".
std::optional<std::string> applicationBundlePath(std::string_view path);

}  // namespace pylonix
