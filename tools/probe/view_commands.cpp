// view: the texts, symbols, colours and visibility the panel's view models compute for a state.
#include <array>
#include <ostream>

#include "probe_command.h"
#include "probe_commands.h"
#include "view_json.h"

namespace pylonix::probe {

int runView(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 2> kOptions = {"--locale", "--time-zone"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    PanelInput input = panelInputFromJson(parseJson(readInputText(parsed.positional)));
    // Without these, the footer's time follows the user's own locale and time zone.
    if (const std::string* locale = parsed.option("--locale")) input.timeStyle.localeName = *locale;
    if (const std::string* zone = parsed.option("--time-zone")) input.timeStyle.timeZoneId = *zone;
    printJson(out, toJson(makePanelView(input)));
    return 0;
}

}  // namespace pylonix::probe
