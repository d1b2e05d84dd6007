#pragma once

#include <string>
#include <vector>

namespace pylonix {

// The escape sequences that turn a screen showing `shown` (from its top line) into one showing
// `next`: each line that changed is rewritten where it stands and the rest of it cleared, lines
// no longer used are cleared, unchanged lines are not touched, so nothing flickers. Empty when
// nothing changed. The update is bracketed as one synchronized update for terminals that
// offer it (others ignore the bracket).
std::string screenUpdate(const std::vector<std::string>& shown,
                         const std::vector<std::string>& next);

}  // namespace pylonix
