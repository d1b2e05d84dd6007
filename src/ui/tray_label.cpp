#include "ui/tray_label.h"

#include <cstddef>

namespace pylonix {
namespace {

constexpr std::string_view kFigureSpace = "\u2007";

// Characters, not bytes: "—" and "−" are three bytes each.
std::size_t characters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char byte : utf8) count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    return count;
}

}  // namespace

std::string trayLabel(std::string_view valueText) {
    const std::size_t length = characters(valueText);
    const std::size_t guide = characters(kTrayLabelGuide);
    std::string label;
    for (std::size_t i = length; i < guide; ++i) label += kFigureSpace;
    label += valueText;
    return label;
}

}  // namespace pylonix
