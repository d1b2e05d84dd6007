#include "ui/ui_color.h"

namespace pylonix {

std::string_view toString(UiColor color) {
    switch (color) {
        case UiColor::primary:
            return "primary";
        case UiColor::secondary:
            return "secondary";
        case UiColor::tertiary:
            return "tertiary";
        case UiColor::green:
            return "green";
        case UiColor::blue:
            return "blue";
        case UiColor::orange:
            return "orange";
        case UiColor::red:
            return "red";
        case UiColor::indigo:
            return "indigo";
    }
    return "primary";
}

}  // namespace pylonix
