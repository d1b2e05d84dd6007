#pragma once

#include <QObject>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

#include "ui/power_settings_menu.h"

namespace pylonix {

// Hands the settings button, its pull-down menu and its alert to QML, and turns the user's
// choices into signals for the application to carry out. The open alert is this bridge's own
// state.
class SettingsMenuBridge : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariantMap button READ button NOTIFY menuChanged)
    // Menu entries in order: "kind", "label", "enabled", "shown", "identifier", "tooltip",
    // "checked", "options" ([{label, value}]), "selected", "shortcut", "action".
    Q_PROPERTY(QVariantList entries READ entries NOTIFY menuChanged)
    // The open alert: "shown", "title", "message", "buttonLabel".
    Q_PROPERTY(QVariantMap issue READ issue NOTIFY issueChanged)

  public:
    explicit SettingsMenuBridge(QObject* parent = nullptr);

    void setInputs(PowerSettingsInputs inputs);
    const PowerSettingsInputs& inputs() const { return inputs_; }
    const std::optional<SettingsIssue>& openIssue() const { return issue_; }

    QVariantMap button() const { return button_; }
    QVariantList entries() const { return entries_; }
    QVariantMap issue() const;

    // The entry at `index` was chosen; `value` is a picker's chosen seconds or a switch's new
    // state. Choices of hidden or disabled entries, and values no option has, are ignored.
    Q_INVOKABLE void choose(int index, const QVariant& value = {});
    // The alert's button.
    Q_INVOKABLE void closeIssue();

  signals:
    void menuChanged();
    void issueChanged();
    void refreshIntervalSelected(double seconds);
    void launchAtLoginChanged(bool enabled);
    void openLoginSettingsRequested();
    void checkForUpdatesRequested();
    void automaticChecksChanged(bool enabled);
    void refreshRequested();
    void quitRequested();

  private:
    PowerSettingsInputs inputs_;
    PowerSettingsMenu menu_;
    QVariantMap button_;
    QVariantList entries_;
    std::optional<SettingsIssue> issue_;
};

}  // namespace pylonix
