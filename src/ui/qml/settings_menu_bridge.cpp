#include "ui/qml/settings_menu_bridge.h"

#include <utility>

#include "ui/qml/qml_values.h"

namespace pylonix {
namespace {

QVariant optionalText(const std::optional<std::string>& value) {
    return value ? QVariant(qmlText(*value)) : QVariant();
}

QVariantMap entryMap(const MenuEntry& entry) {
    QVariantList options;
    for (const MenuOption& option : entry.options) {
        options.push_back(QVariantMap{{"label", qmlText(option.label)}, {"value", option.value}});
    }
    return {
        {"kind", qmlText(toString(entry.kind))},
        {"label", qmlText(entry.label)},
        {"enabled", entry.enabled},
        {"shown", entry.shown},
        {"identifier", qmlText(entry.identifier.value_or(""))},
        {"tooltip", optionalText(entry.tooltip)},
        {"checked", entry.checked.value_or(false)},
        {"options", options},
        {"selected", entry.selected ? QVariant(*entry.selected) : QVariant()},
        {"shortcut", qmlText(entry.shortcut.value_or(""))},
        {"action", qmlText(toString(entry.action))},
    };
}

}  // namespace

SettingsMenuBridge::SettingsMenuBridge(QObject* parent) : QObject(parent) {
    setInputs(PowerSettingsInputs{});
}

void SettingsMenuBridge::setInputs(PowerSettingsInputs inputs) {
    inputs_ = std::move(inputs);
    menu_ = makePowerSettingsMenu(inputs_);
    button_ = {
        {"label", qmlText(PowerSettingsMenu::label)},
        {"showsProblemBadge", menu_.showsProblemBadge},
        {"badgeColor", qmlText(PowerSettingsMenu::badgeColor)},
        {"tooltip", qmlText(menu_.tooltip)},
        {"accessibilityLabel", qmlText(menu_.accessibilityLabel)},
        {"identifier", qmlText(PowerSettingsMenu::identifier)},
    };
    putSymbol(button_, PowerSettingsMenu::systemImage);
    putSymbol(button_, PowerSettingsMenu::badgeSymbol, "badge");
    entries_.clear();
    for (const MenuEntry& entry : menu_.entries) entries_.push_back(entryMap(entry));
    emit menuChanged();
}

QVariantMap SettingsMenuBridge::issue() const {
    return {
        {"shown", issue_.has_value()},
        {"title", qmlText(issue_ ? issue_->title : std::string())},
        {"message", qmlText(issue_ ? issue_->message : std::string())},
        {"buttonLabel", qmlText(SettingsIssue::buttonLabel)},
    };
}

void SettingsMenuBridge::choose(int index, const QVariant& value) {
    if (index < 0 || static_cast<std::size_t>(index) >= menu_.entries.size()) return;
    const MenuEntry& entry = menu_.entries[static_cast<std::size_t>(index)];
    if (!entry.shown || !entry.enabled) return;
    switch (entry.action) {
        case SettingsAction::none:
            return;
        case SettingsAction::selectRefreshInterval: {
            bool isNumber = false;
            const double seconds = value.toDouble(&isNumber);
            if (isNumber && RefreshInterval::fromRawValue(seconds)) {
                emit refreshIntervalSelected(seconds);
            }
            return;
        }
        case SettingsAction::setLaunchAtLogin:
            emit launchAtLoginChanged(value.toBool());
            return;
        case SettingsAction::openLoginSettings:
            emit openLoginSettingsRequested();
            return;
        case SettingsAction::checkForUpdates:
            emit checkForUpdatesRequested();
            return;
        case SettingsAction::setAutomaticChecks:
            emit automaticChecksChanged(value.toBool());
            return;
        case SettingsAction::refresh:
            emit refreshRequested();
            return;
        case SettingsAction::quit:
            emit quitRequested();
            return;
        case SettingsAction::showLaunchAtLoginIssue:
        case SettingsAction::showUpdateIssue:
            if (auto opened = settingsIssueFor(entry.action, inputs_)) {
                issue_ = std::move(opened);
                emit issueChanged();
            }
            return;
    }
}

void SettingsMenuBridge::closeIssue() {
    if (!issue_) return;
    issue_.reset();
    emit issueChanged();
}

}  // namespace pylonix
