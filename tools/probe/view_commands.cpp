// view: the texts, symbols, colours and visibility the panel's view models compute for a state.
#include <array>
#include <ostream>

#include "probe_command.h"
#include "probe_commands.h"
#include "sections_view_json.h"
#include "view_json.h"

namespace pylonix::probe {

int runView(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 2> kOptions = {"--locale", "--time-zone"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    const Json json = parseJson(readInputText(parsed.positional));
    PanelInput input = panelInputFromJson(json);
    const SectionsViewInput sections = sectionsViewInputFromJson(json);
    // Without these, the footer's time follows the user's own locale and time zone.
    if (const std::string* locale = parsed.option("--locale")) input.timeStyle.localeName = *locale;
    if (const std::string* zone = parsed.option("--time-zone")) input.timeStyle.timeZoneId = *zone;
    const PanelView view = makePanelView(input);
    Json result = toJson(view);
    addSectionsJson(result, sections, input, view);
    printJson(out, result);
    return 0;
}

}  // namespace pylonix::probe
