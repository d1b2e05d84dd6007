#include "ui/qml/application_section_bridge.h"

#include <QVariantList>
#include <utility>

#include "ui/application_power_section.h"
#include "ui/qml/application_icon_provider.h"
#include "ui/qml/qml_values.h"

namespace pylonix {
namespace {

QVariantMap rowMap(const ApplicationPowerRow& row) {
    QVariantMap map{
        {"id", qmlText(row.entry.id)},
        {"name", qmlText(row.entry.name)},
        {"wattsText", qmlText(row.wattsText)},
        {"detailText", qmlText(row.detailText)},
        {"accessibilityLabel", qmlText(row.accessibilityLabel)},
        {"tooltip", qmlText(row.tooltip)},
        {"hasIcon", row.hasIcon},
        {"iconSource", row.hasIcon ? ApplicationIconProvider::sourceFor(row.entry.id) : QString()},
        {"iconSize", ApplicationPowerRow::iconSize},
    };
    putSymbol(map, ApplicationPowerRow::fallbackSymbol, "fallback");
    return map;
}

QVariantMap sectionMap(const ApplicationPowerSectionView& view) {
    QVariantList rows;
    for (const ApplicationPowerRow& row : view.rows) rows.push_back(rowMap(row));

    const ApplicationListToggle toggle = view.toggle.value_or(ApplicationListToggle{});
    QVariantMap toggleMap{
        {"shown", view.toggle.has_value()},
        {"label", qmlText(toggle.label)},
        {"accessibilityValue", qmlText(toggle.accessibilityValue)},
        {"chevronDegrees", toggle.chevronDegrees},
        {"identifier", qmlText(ApplicationListToggle::identifier)},
    };
    putSymbol(toggleMap, ApplicationListToggle::systemImage);

    QVariantMap map{
        {"title", qmlText(ApplicationPowerSectionView::title)},
        {"badge", qmlText(view.badge)},
        {"content", qmlText(toString(view.content))},
        {"contentKey", qmlText(view.contentKey)},
        {"message", qmlText(view.message.value_or(""))},
        {"rows", rows},
        {"toggle", toggleMap},
        {"footnote", qmlText(view.footnote)},
        {"identifier", qmlText(ApplicationPowerSectionView::identifier)},
    };
    putSymbol(map, ApplicationPowerSectionView::titleSymbol, "title");
    putSymbol(map, ApplicationPowerSectionView::unavailableSymbol, "message");
    return map;
}

}  // namespace

ApplicationSectionBridge::ApplicationSectionBridge(QObject* parent) : QObject(parent) {
    rebuild();
}

void ApplicationSectionBridge::setSnapshot(ApplicationPowerSnapshot snapshot,
                                           bool isIncludedInBalance) {
    // The bridge hears every refresh of the panel; the rows are rebuilt only for a new sample.
    if (snapshot == snapshot_ && isIncludedInBalance == isIncludedInBalance_) return;
    snapshot_ = std::move(snapshot);
    isIncludedInBalance_ = isIncludedInBalance;
    rebuild();
}

void ApplicationSectionBridge::setIconLookup(IconLookup hasIcon) {
    hasIcon_ = std::move(hasIcon);
    rebuild();
}

void ApplicationSectionBridge::setShowsAllApplications(bool showsAll) {
    if (showsAllApplications_ == showsAll) return;
    showsAllApplications_ = showsAll;
    rebuild();
}

void ApplicationSectionBridge::setApplicationSectionTop(double top) {
    if (applicationSectionTop_ == top) return;
    applicationSectionTop_ = top;
    emit applicationSectionTopChanged();
}

void ApplicationSectionBridge::toggleAllApplications(bool motionAllowed) {
    setShowsAllApplications(!showsAllApplications_);
    switch (collapseScroll(showsAllApplications_, applicationSectionTop_, motionAllowed)) {
        case CollapseScroll::none:
            break;
        case CollapseScroll::immediate:
            emit scrollToSectionRequested(false);
            break;
        case CollapseScroll::animated:
            emit scrollToSectionRequested(true);
            break;
    }
}

void ApplicationSectionBridge::rebuild() {
    section_ = sectionMap(makeApplicationPowerSection(snapshot_, showsAllApplications_,
                                                      isIncludedInBalance_, hasIcon_));
    emit sectionChanged();
}

}  // namespace pylonix
