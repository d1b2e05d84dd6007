#include "ui/qml/panel_bridge.h"

#include <QQuickItem>
#include <QQuickView>
#include <QUrl>

#include "ui/motion_gate.h"
#include "ui/symbol_table.h"

namespace pylonix {
namespace {

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }
QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A symbol as QML draws it: its name and the glyph of the icon font.
void putSymbol(QVariantMap& map, std::string_view symbol, const char* prefix = "") {
    map.insert(QString::fromLatin1(prefix) + QStringLiteral("symbol"), text(symbol));
    map.insert(QString::fromLatin1(prefix) + QStringLiteral("glyph"),
               text(materialIconFor(symbol)));
}

QVariantMap noticeMap(const std::optional<InlineNotice>& notice) {
    QVariantMap map{{"shown", notice.has_value()}};
    const InlineNotice shown = notice.value_or(InlineNotice{});
    map.insert("text", text(shown.text));
    map.insert("tone", text(toString(shown.tone)));
    map.insert("color", text(toString(shown.color())));
    putSymbol(map, shown.systemImage());
    return map;
}

QVariantMap menuBarLabelMap(const PowerMenuBarLabel& label) {
    QVariantMap map{
        {"valueText", text(label.valueText)},
        {"showsUpdateBadge", label.showsUpdateBadge},
        {"accessibilityLabel", text(label.accessibilityLabel)},
        {"tooltip", text(label.tooltip)},
    };
    putSymbol(map, label.symbol);
    putSymbol(map, label.badgeSymbol, "badge");
    return map;
}

QVariantMap footerMap(const PanelView& view) {
    const UpdateShortcut shortcut = view.updateShortcut.value_or(UpdateShortcut{});
    QVariantMap update{
        {"shown", view.updateShortcut.has_value()},
        {"label", text(shortcut.label)},
        {"enabled", shortcut.enabled},
        {"tooltip", text(shortcut.tooltip)},
        {"identifier", text(shortcut.identifier)},
    };
    putSymbol(update, shortcut.systemImage);
    return {{"updatedAt", text(view.footerUpdatedAt)},
            {"updateShortcut", update},
            {"version", text(view.version)}};
}

QVariantMap statusHeaderMap(const StatusHeader& header) {
    QVariantMap map{
        {"title", text(header.badge.title)},
        {"color", text(toString(header.badge.color))},
        {"showsPercent", header.percentText.has_value()},
        {"percentText", text(header.percentText.value_or(""))},
        {"percentAccessibilityLabel", text(header.percentAccessibilityLabel.value_or(""))},
    };
    putSymbol(map, header.badge.systemImage);
    return map;
}

QVariantMap powerCardMap(const PowerCard& card) {
    return {
        {"title", text(card.title)},
        {"caption", text(card.caption)},
        {"valueText", text(card.valueText)},
        {"unit", text(card.unit)},
        {"note", text(card.note)},
        {"tint", text(toString(card.tint))},
        {"valueIdentifier", text(card.valueIdentifier)},
        // Read as one element, its texts in order.
        {"accessibilityLabel", text(card.title + " " + card.caption + " " + card.valueText + " " +
                                    card.unit + " " + card.note)},
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
            {"title", text(tile.tile.title)},
            {"value", text(tile.tile.value)},
            {"color", text(toString(tile.tile.color))},
            {"tooltip", text(tile.tooltip)},
            {"accessibilityLabel", text(tile.tile.title + " " + tile.tile.value)},
        };
        putSymbol(map, tile.tile.systemImage);
        list.append(map);
    }
    return list;
}

QVariantMap powerDetailsMap(const PowerDetails& details) {
    QVariantList rows;
    for (const DetailRow& row : details.rows) {
        rows.append(QVariantMap{{"label", text(row.label)}, {"value", text(row.value)}});
    }
    QVariantMap map{
        {"title", text(details.title)},
        {"identifier", text(details.identifier)},
        {"expanded", details.expanded},
        {"rows", rows},
        {"sourceText", text(details.sourceText)},
        {"footnote", text(details.footnote)},
        // The disclosure's chevron points right while collapsed, down while expanded.
        {"chevronDegrees", details.expanded ? 0 : -90},
    };
    putSymbol(map, "chevron.down");
    return map;
}

QVariantMap breakdownRowMap(const BreakdownRow& row) {
    return {{"title", text(row.title)},
            {"value", text(row.value)},
            {"color", text(toString(row.color))},
            {"accessibilityLabel", text(row.title + " " + row.value)}};
}

QVariantMap breakdownMap(const PowerBreakdown& section) {
    const BreakdownStateLine line = section.stateLine.value_or(BreakdownStateLine{});
    const BreakdownTotalRow total = section.totalRow.value_or(BreakdownTotalRow{});
    QVariantMap map{
        {"title", text(section.title)},
        {"caption", text(section.caption)},
        {"applicationRow", breakdownRowMap(section.applicationRow)},
        {"otherRow", breakdownRowMap(section.otherRow)},
        {"stateLine", QVariantMap{{"shown", section.stateLine.has_value()},
                                  {"text", text(line.text)},
                                  {"color", text(toString(line.color))}}},
        {"totalRow", QVariantMap{{"shown", section.totalRow.has_value()},
                                 {"label", text(total.label)},
                                 {"value", text(total.value)},
                                 {"identifier", text(total.identifier)}}},
        {"footnote", text(section.footnote)},
        {"identifier", text(section.identifier)},
    };
    putSymbol(map, section.systemImage);
    return map;
}

}  // namespace

PanelBridge::PanelBridge(QObject* parent) : QObject(parent) { rebuild(std::nullopt); }

void PanelBridge::setInput(PanelInput input) {
    const PowerSnapshot::Status previous = input_.snapshot.status();
    input.showsPowerDetails = input_.showsPowerDetails;
    input_ = std::move(input);
    rebuild(previous);
}

void PanelBridge::rebuild(std::optional<PowerSnapshot::Status> previousStatus) {
    view_ = makePanelView(input_);
    statusChangeAnimates_ =
        motionAllowed() && previousStatus && *previousStatus != input_.snapshot.status();
    menuBarLabel_ = menuBarLabelMap(view_.menuBarLabel);
    footer_ = footerMap(view_);
    statusHeader_ = statusHeaderMap(view_.statusHeader);
    powerCard_ = powerCardMap(view_.powerCard);
    errorNotice_ = noticeMap(view_.errorNotice);
    tiles_ = tilesList(view_.tiles);
    unavailableNotice_ = noticeMap(view_.unavailableNotice);
    powerDetails_ = powerDetailsMap(view_.powerDetails);
    breakdown_ = breakdownMap(view_.breakdown);
    emit viewChanged();
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

void PanelBridge::togglePowerDetails() { setShowsPowerDetails(!input_.showsPowerDetails); }

void PanelBridge::setShowsPowerDetails(bool shows) {
    if (shows == input_.showsPowerDetails) return;
    input_.showsPowerDetails = shows;
    rebuild(input_.snapshot.status());
}

void PanelBridge::checkForUpdates() {
    if (view_.updateShortcut && view_.updateShortcut->enabled) emit checkForUpdatesRequested();
}

bool loadPowerPanel(QQuickView& view, PanelBridge& bridge) {
    view.setInitialProperties({{QStringLiteral("panel"), QVariant::fromValue(&bridge)}});
    view.setResizeMode(QQuickView::SizeViewToRootObject);
    view.setSource(QUrl(QString::fromLatin1(kPowerPanelUrl)));
    return view.status() == QQuickView::Ready && view.rootObject() != nullptr;
}

}  // namespace pylonix
