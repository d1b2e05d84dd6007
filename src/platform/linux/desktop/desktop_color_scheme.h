#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/linux/desktop/gsettings_key.h"

namespace pylonix::linux_platform {

// Whether the desktop asks applications for a dark appearance, followed live. In order: the
// XDG desktop portal's org.freedesktop.appearance color-scheme (its Settings interface: Read,
// then the SettingChanged signal), GNOME's org.gnome.desktop.interface color-scheme, and last
// the lightness of the Qt palette's window colour. A source without an answer ("no
// preference", no portal, no schema) leaves the decision to the next.
class DesktopColorScheme : public QObject {
    Q_OBJECT

  public:
    struct Sources {
        QDBusConnection bus;
        QString gsettings;  // the gsettings program; empty: looked up in PATH
    };
    // The session bus and the gsettings in PATH.
    static Sources sessionSources();

    explicit DesktopColorScheme(Sources sources = sessionSources(), QObject* parent = nullptr);

    bool prefersDark() const { return prefersDark_; }

  signals:
    void prefersDarkChanged(bool dark);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    void portalSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

  private:
    void update();

    QDBusConnection bus_;
    GSettingsKey gnome_;
    std::optional<bool> portal_;
    bool prefersDark_ = false;
};

// The portal's value (0 no preference, 1 dark, 2 light), however deeply it is wrapped in
// variants; nothing for no preference or anything else.
std::optional<bool> prefersDarkFromPortal(const QVariant& value);

// GNOME's value as gsettings prints it: 'prefer-dark' is dark, 'default' and 'prefer-light'
// are light; nothing for anything else.
std::optional<bool> prefersDarkFromGnome(std::string_view gsettingsValue);

}  // namespace pylonix::linux_platform
