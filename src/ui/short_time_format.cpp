#include "ui/short_time_format.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>

#include "power/power_formatters.h"

namespace pylonix {

std::string formatShortTime(WallClockTime time, const TimeTextStyle& style) {
    const double milliseconds = secondsSince1970(time) * 1000.0;
    if (!std::isfinite(milliseconds)) return kMissingValueText;
    const icu::Locale locale = style.localeName.empty()
                                   ? icu::Locale::getDefault()
                                   : icu::Locale::createFromName(style.localeName.c_str());
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale));
    if (!format) return kMissingValueText;
    if (!style.timeZoneId.empty()) {
        format->adoptTimeZone(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(style.timeZoneId)));
    }
    icu::UnicodeString text;
    format->format(static_cast<UDate>(milliseconds), text);
    std::string utf8;
    return text.toUTF8String(utf8);
}

}  // namespace pylonix
