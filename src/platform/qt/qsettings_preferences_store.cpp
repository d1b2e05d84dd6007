#include "platform/qt/qsettings_preferences_store.h"

#include <QVariant>
#include <cmath>

namespace pylonix::qt_platform {

QSettingsPreferencesStore::QSettingsPreferencesStore()
    : settings_(std::make_unique<QSettings>(QSettings::UserScope, kPreferencesOrganization,
                                            kPreferencesApplication)) {}

QSettingsPreferencesStore::QSettingsPreferencesStore(const QString& iniFilePath)
    : settings_(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat)) {}

QSettingsPreferencesStore::~QSettingsPreferencesStore() = default;

std::optional<double> QSettingsPreferencesStore::readDouble(const std::string& key) const {
    const QVariant stored = settings_->value(QString::fromStdString(key));
    if (!stored.isValid()) return std::nullopt;
    // INI files hold text; a number written by hand or by another version reads the same way.
    bool isNumber = false;
    const double value = stored.toString().trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool QSettingsPreferencesStore::writeDouble(const std::string& key, double value) {
    settings_->setValue(QString::fromStdString(key), value);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace pylonix::qt_platform
