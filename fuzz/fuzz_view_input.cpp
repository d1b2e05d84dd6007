// Arbitrary panel states through the view models: unusable input is refused with InputError;
// usable input gives figures without stray numbers ("nan", "inf"), a breakdown whose shown total
// is the headline, and a tray label that always ends in its unit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "view_json.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix;
    using namespace pylonix::probe;
    PanelInput input;
    try {
        input = panelInputFromJson(parseJson(std::string(reinterpret_cast<const char*>(data), size)));
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
    for (const std::string& figure : figures) {
        check(figure.find("nan") == std::string::npos && figure.find("inf") == std::string::npos);
    }
    static_cast<void>(toJson(view).dump());
    return 0;
}
