#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "common/preferences_store.h"

namespace pylonix::qt_platform {

inline constexpr const char* kPreferencesOrganization = "Pylonix";
inline constexpr const char* kPreferencesApplication = "Pylonix";

// The user's preferences through QSettings: by default the organisation and application
// "Pylonix" in the user's scope (on Linux ~/.config/Pylonix/Pylonix.conf), or a given INI file.
// Writes are flushed at once so that a failure shows in the result.
class QSettingsPreferencesStore final : public PreferencesStore {
  public:
    QSettingsPreferencesStore();
    explicit QSettingsPreferencesStore(const QString& iniFilePath);
    ~QSettingsPreferencesStore() override;

    std::optional<double> readDouble(const std::string& key) const override;
    bool writeDouble(const std::string& key, double value) override;

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace pylonix::qt_platform
