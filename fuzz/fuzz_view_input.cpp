// Arbitrary panel states through the view models: unusable input is refused with InputError;
// usable input gives figures without stray numbers ("nan", "inf"), a breakdown whose shown total
// is the headline, and a tray label that always ends in its unit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sections_view_json.h"
#include "view_json.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix;
    using namespace pylonix::probe;
    PanelInput input;
    SectionsViewInput sections;
    try {
        const Json json = parseJson(std::string(reinterpret_cast<const char*>(data), size));
        input = panelInputFromJson(json);
        sections = sectionsViewInputFromJson(json);
    } catch (const InputError&) {
        return 0;
    }
    input.timeStyle = {"zh_CN", "UTC"};
    const PanelView view = makePanelView(input);
    check(endsWith(view.menuBarLabel.valueText, " W"));
    check(view.height > 0 && view.height <= 780);
    check(view.breakdown.stateLine.has_value() != view.breakdown.totalRow.has_value());
    if (view.breakdown.totalRow) {
        check(view.breakdown.totalRow->value == view.powerCard.valueText + " W");
        check(view.isIncludedInBalance);
    }
    std::vector<std::string> figures = {view.menuBarLabel.valueText, view.powerCard.valueText,
                                        view.breakdown.applicationRow.value,
                                        view.breakdown.otherRow.value};
    for (const DetailRow& row : view.powerDetails.rows) figures.push_back(row.value);
    if (view.tiles) {
        for (const PowerTile& tile : *view.tiles) figures.push_back(tile.tile.value);
    }
    // The application list: at most five rows while collapsed, the toggle exactly beyond five,
    // every figure finished with its unit or the dash.
    const std::size_t entries = input.applicationPower.entries.size();
    const ApplicationPowerSectionView section = makeApplicationPowerSection(
        input.applicationPower, sections.showsAllApplications, view.isIncludedInBalance, {});
    if (section.content == ApplicationPowerSectionView::Content::list) {
        check(section.rows.size() == (sections.showsAllApplications || entries <= 5 ? entries : 5));
        check(section.toggle.has_value() == (entries > 5));
    }
    for (const ApplicationPowerRow& row : section.rows) {
        check(row.wattsText == "—" || endsWith(row.wattsText, " W"));
        figures.push_back(row.wattsText);
    }
    for (const std::string& figure : figures) {
        check(figure.find("nan") == std::string::npos && figure.find("inf") == std::string::npos);
    }
    Json out = toJson(view);
    addSectionsJson(out, sections, input, view);
    static_cast<void>(out.dump());
    return 0;
}
