#include "ui/widgets.h"

namespace pylonix {

std::string_view InlineNotice::systemImage() const {
    switch (tone) {
        case Tone::information:
            return "info.circle";
        case Tone::warning:
            return "exclamationmark.triangle.fill";
        case Tone::error:
            return "xmark.circle.fill";
    }
    return "info.circle";
}

UiColor InlineNotice::color() const {
    switch (tone) {
        case Tone::information:
            return UiColor::secondary;
        case Tone::warning:
            return UiColor::orange;
        case Tone::error:
            return UiColor::red;
    }
    return UiColor::secondary;
}

std::string_view toString(InlineNotice::Tone tone) {
    switch (tone) {
        case InlineNotice::Tone::information:
            return "information";
        case InlineNotice::Tone::warning:
            return "warning";
        case InlineNotice::Tone::error:
            return "error";
    }
    return "information";
}

}  // namespace pylonix
