#include "app/terminal/screen_update.h"

namespace pylonix {
namespace {

std::string moveTo(std::size_t line) {
    return "\x1b[" + std::to_string(line + 1) + ";1H";
}

}  // namespace

std::string screenUpdate(const std::vector<std::string>& shown,
                         const std::vector<std::string>& next) {
    std::string update;
    for (std::size_t line = 0; line < next.size(); ++line) {
        if (line < shown.size() && shown[line] == next[line]) continue;
        update += moveTo(line) + next[line] + "\x1b[K";
    }
    if (next.size() < shown.size()) update += moveTo(next.size()) + "\x1b[J";
    if (update.empty()) return update;
    return "\x1b[?2026h" + update + "\x1b[?2026l";
}

}  // namespace pylonix
