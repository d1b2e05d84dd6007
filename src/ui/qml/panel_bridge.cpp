#include "ui/qml/panel_bridge.h"

#include <QColor>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QUrl>

#include "ui/motion_gate.h"
#include "ui/qml/qml_values.h"

namespace pylonix {
namespace {

QVariantMap noticeMap(const std::optional<InlineNotice>& notice) {
    QVariantMap map{{"shown", notice.has_value()}};
    const InlineNotice shown = notice.value_or(InlineNotice{});
    map.insert("text", qmlText(shown.text));
    map.insert("tone", qmlText(toString(shown.tone)));
    map.insert("color", qmlText(toString(shown.color())));
    putSymbol(map, shown.systemImage());
    return map;
}

QVariantMap menuBarLabelMap(const PowerMenuBarLabel& label) {
    QVariantMap map{
        {"valueText", qmlText(label.valueText)},
        {"showsUpdateBadge", label.showsUpdateBadge},
        {"accessibilityLabel", qmlText(label.accessibilityLabel)},
        {"tooltip", qmlText(label.tooltip)},
    };
    putSymbol(map, label.symbol);
    putSymbol(map, label.badgeSymbol, "badge");
    return map;
}

QVariantMap footerMap(const PanelView& view) {
    const UpdateShortcut shortcut = view.updateShortcut.value_or(UpdateShortcut{});
    QVariantMap update{
        {"shown", view.updateShortcut.has_value()},
        {"label", qmlText(shortcut.label)},
        {"enabled", shortcut.enabled},
        {"tooltip", qmlText(shortcut.tooltip)},
        {"identifier", qmlText(shortcut.identifier)},
    };
    putSymbol(update, shortcut.systemImage);
    return {{"updatedAt", qmlText(view.footerUpdatedAt)},
            {"updateShortcut", update},
            {"version", qmlText(view.version)}};
}

QVariantMap statusHeaderMap(const StatusHeader& header) {
    QVariantMap map{
        {"title", qmlText(header.badge.title)},
        {"color", qmlText(toString(header.badge.color))},
        {"showsPercent", header.percentText.has_value()},
        {"percentText", qmlText(header.percentText.value_or(""))},
        {"percentAccessibilityLabel", qmlText(header.percentAccessibilityLabel.value_or(""))},
    };
    putSymbol(map, header.badge.systemImage);
    return map;
}

QVariantMap powerCardMap(const PowerCard& card, PowerSnapshot::Status status) {
    return {
        {"status", QString::fromLatin1(toString(status))},
        {"title", qmlText(card.title)},
        {"caption", qmlText(card.caption)},
        {"valueText", qmlText(card.valueText)},
        {"unit", qmlText(card.unit)},
        {"note", qmlText(card.note)},
        {"tint", qmlText(toString(card.tint))},
        {"valueIdentifier", qmlText(card.valueIdentifier)},
        // Read as one element, its texts in order.
        {"accessibilityLabel", qmlText(card.title + " " + card.caption + " " + card.valueText +
                                       " " + card.unit + " " + card.note)},
    };
}

QVariantList tilesList(const std::optional<std::array<PowerTile, 2>>& tiles) {
    QVariantList list;
    if (!tiles) return list;
    constexpr const char* kIdentifiers[] = {"battery-tile", "adapter-tile"};
    for (std::size_t i = 0; i < tiles->size(); ++i) {
        const PowerTile& tile = (*tiles)[i];
        QVariantMap map{
            {"identifier", QString::fromLatin1(kIdentifiers[i])},
            {"title", qmlText(tile.tile.title)},
            {"value", qmlText(tile.tile.value)},
            {"color", qmlText(toString(tile.tile.color))},
            {"tooltip", qmlText(tile.tooltip)},
            {"accessibilityLabel", qmlText(tile.tile.title + " " + tile.tile.value)},
        };
        putSymbol(map, tile.tile.systemImage);
        list.append(map);
    }
    return list;
}

QVariantMap powerDetailsMap(const PowerDetails& details) {
    QVariantList rows;
    for (const DetailRow& row : details.rows) {
        rows.append(QVariantMap{{"label", qmlText(row.label)}, {"value", qmlText(row.value)}});
    }
    QVariantMap map{
        {"title", qmlText(details.title)},
        {"identifier", qmlText(details.identifier)},
        {"expanded", details.expanded},
        {"rows", rows},
        {"sourceText", qmlText(details.sourceText)},
        {"footnote", qmlText(details.footnote)},
        // The disclosure's chevron points right while collapsed, down while expanded.
        {"chevronDegrees", details.expanded ? 0 : -90},
    };
    putSymbol(map, "chevron.down");
    return map;
}

QVariantMap breakdownRowMap(const BreakdownRow& row) {
    return {{"title", qmlText(row.title)},
            {"value", qmlText(row.value)},
            {"color", qmlText(toString(row.color))},
            {"accessibilityLabel", qmlText(row.title + " " + row.value)}};
}

QVariantMap breakdownMap(const PowerBreakdown& section) {
    const BreakdownStateLine line = section.stateLine.value_or(BreakdownStateLine{});
    const BreakdownTotalRow total = section.totalRow.value_or(BreakdownTotalRow{});
    QVariantMap map{
        {"title", qmlText(section.title)},
        {"caption", qmlText(section.caption)},
        {"applicationRow", breakdownRowMap(section.applicationRow)},
        {"otherRow", breakdownRowMap(section.otherRow)},
        {"stateLine", QVariantMap{{"shown", section.stateLine.has_value()},
                                  {"text", qmlText(line.text)},
                                  {"color", qmlText(toString(line.color))}}},
        {"totalRow", QVariantMap{{"shown", section.totalRow.has_value()},
                                 {"label", qmlText(total.label)},
                                 {"value", qmlText(total.value)},
                                 {"identifier", qmlText(total.identifier)}}},
        {"footnote", qmlText(section.footnote)},
        {"identifier", qmlText(section.identifier)},
    };
    putSymbol(map, section.systemImage);
    return map;
}

QColor qmlColor(const Rgba& color) {
    return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                            static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

QVariantMap paletteMap(ColorScheme scheme) {
    QVariantMap map;
    for (UiColor color : kAllUiColors)
        map.insert(qmlText(toString(color)), qmlColor(shade(color, scheme)));
    for (UiSurface surface : kAllUiSurfaces) {
        map.insert(qmlText(toString(surface)), qmlColor(shade(surface, scheme)));
    }
    return map;
}

}  // namespace

PanelBridge::PanelBridge(QObject* parent)
    : QObject(parent), icons_(std::make_shared<ApplicationIconStore>()) {
    applications_.setIconLookup(
        [icons = icons_](const std::string& id) { return icons->contains(id); });
    rebuild();
}

void PanelBridge::setInput(PanelInput input) {
    input.showsPowerDetails = input_.showsPowerDetails;
    input.colorScheme = input_.colorScheme;
    input_ = std::move(input);
    rebuild();
}

void PanelBridge::rebuild() {
    view_ = makePanelView(input_);
    menuBarLabel_ = menuBarLabelMap(view_.menuBarLabel);
    footer_ = footerMap(view_);
    statusHeader_ = statusHeaderMap(view_.statusHeader);
    powerCard_ = powerCardMap(view_.powerCard, input_.snapshot.status());
    errorNotice_ = noticeMap(view_.errorNotice);
    tiles_ = tilesList(view_.tiles);
    unavailableNotice_ = noticeMap(view_.unavailableNotice);
    powerDetails_ = powerDetailsMap(view_.powerDetails);
    breakdown_ = breakdownMap(view_.breakdown);
    applications_.setSnapshot(input_.applicationPower, view_.isIncludedInBalance);
    if (paletteScheme_ != view_.colorScheme) {
        paletteScheme_ = view_.colorScheme;
        palette_ = paletteMap(view_.colorScheme);
        emit appearanceChanged();
    }
    emit viewChanged();
}

QString PanelBridge::colorScheme() const {
    return qmlText(toString(view_.colorScheme));
}

void PanelBridge::setColorScheme(ColorScheme scheme) {
    if (scheme == input_.colorScheme) return;
    input_.colorScheme = scheme;
    rebuild();
}

bool PanelBridge::motionAllowed() const {
    return pylonix::motionAllowed(isVisible_, reduceMotion_, suppressCustomMotion_);
}

void PanelBridge::setVisible(bool visible) {
    if (visible == isVisible_) return;
    isVisible_ = visible;
    emit motionChanged();
}

void PanelBridge::setReduceMotion(bool reduce) {
    if (reduce == reduceMotion_) return;
    reduceMotion_ = reduce;
    emit motionChanged();
}

void PanelBridge::setSuppressCustomMotion(bool suppress) {
    if (suppress == suppressCustomMotion_) return;
    suppressCustomMotion_ = suppress;
    emit motionChanged();
}

void PanelBridge::togglePowerDetails() {
    setShowsPowerDetails(!input_.showsPowerDetails);
}

void PanelBridge::setShowsPowerDetails(bool shows) {
    if (shows == input_.showsPowerDetails) return;
    input_.showsPowerDetails = shows;
    rebuild();
}

void PanelBridge::beginOpening() {
    setVisible(false);
    setShowsPowerDetails(false);
    settings_.closeIssue();
}

void PanelBridge::checkForUpdates() {
    if (view_.updateShortcut && view_.updateShortcut->enabled) emit checkForUpdatesRequested();
}

bool loadPowerPanel(QQuickView& view, PanelBridge& bridge) {
    QQmlEngine& engine = *view.engine();
    if (engine.imageProvider(QString::fromLatin1(ApplicationIconProvider::kProviderId)) ==
        nullptr) {
        engine.addImageProvider(QString::fromLatin1(ApplicationIconProvider::kProviderId),
                                new ApplicationIconProvider(bridge.applicationIcons()));
    }
    view.setInitialProperties({{QStringLiteral("panel"), QVariant::fromValue(&bridge)}});
    view.setResizeMode(QQuickView::SizeViewToRootObject);
    view.setSource(QUrl(QString::fromLatin1(kPowerPanelUrl)));
    return view.status() == QQuickView::Ready && view.rootObject() != nullptr;
}

}  // namespace pylonix
