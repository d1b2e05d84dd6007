#include "platform/linux/updates/settings_update_preferences.h"

#include <cmath>

namespace pylonix::linux_platform {
namespace {

constexpr auto kAutomaticKey = "automaticallyChecksForUpdates";
constexpr auto kLastCheckKey = "lastUpdateCheckDate";

}  // namespace

SettingsUpdatePreferences::SettingsUpdatePreferences() : settings_("Pylonix", "Pylonix") {}

bool SettingsUpdatePreferences::automaticallyChecksForUpdates() const {
    const QVariant value = settings_.value(kAutomaticKey);
    // QSettings' text format gives back "true" and "false" as text.
    const QString text = value.toString();
    if (text == u"false") return false;
    return true;
}

void SettingsUpdatePreferences::setAutomaticallyChecksForUpdates(bool enabled) {
    settings_.setValue(kAutomaticKey, enabled);
    settings_.sync();
}

std::optional<WallClockTime> SettingsUpdatePreferences::lastCheckDate() const {
    bool ok = false;
    const double seconds = settings_.value(kLastCheckKey).toDouble(&ok);
    if (!ok || !std::isfinite(seconds)) return std::nullopt;
    return wallClockFromSeconds(seconds);
}

void SettingsUpdatePreferences::setLastCheckDate(WallClockTime date) {
    settings_.setValue(kLastCheckKey, secondsSince1970(date));
    settings_.sync();
}

}  // namespace pylonix::linux_platform
