#include "platform/linux/updates/settings_update_preferences.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QStandardPaths>
#include <filesystem>

namespace pylonix::linux_platform {
namespace {

TEST(SettingsUpdatePreferencesTest, KeepsTheSwitchAndTheDateAcrossInstances) {
    // The settings file goes to a temporary folder, never the user's own settings.
    QStandardPaths::setTestModeEnabled(true);
    const auto folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
    std::filesystem::remove_all(folder);
    {
        SettingsUpdatePreferences preferences;
        EXPECT_TRUE(preferences.automaticallyChecksForUpdates());
        EXPECT_EQ(preferences.lastCheckDate(), std::nullopt);
        preferences.setAutomaticallyChecksForUpdates(false);
        preferences.setLastCheckDate(wallClockFromSeconds(1765000000.25));
    }
    {
        SettingsUpdatePreferences preferences;
        EXPECT_FALSE(preferences.automaticallyChecksForUpdates());
        EXPECT_EQ(preferences.lastCheckDate(), wallClockFromSeconds(1765000000.25));
        preferences.setAutomaticallyChecksForUpdates(true);
    }
    EXPECT_TRUE(SettingsUpdatePreferences().automaticallyChecksForUpdates());
    std::filesystem::remove_all(folder);
    QStandardPaths::setTestModeEnabled(false);
}

}  // namespace
}  // namespace pylonix::linux_platform
