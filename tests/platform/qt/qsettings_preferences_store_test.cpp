#include "platform/qt/qsettings_preferences_store.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace pylonix::qt_platform {
namespace {

constexpr const char* kKey = "refreshIntervalSeconds";

void writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(QSettingsPreferencesStoreTest, AWrittenNumberReadsBackInALaterSession) {
    QTemporaryDir directory;
    const QString path = directory.filePath("settings.ini");
    {
        QSettingsPreferencesStore store(path);
        EXPECT_EQ(store.readDouble(kKey), std::nullopt);
        EXPECT_TRUE(store.writeDouble(kKey, 0.5));
    }
    const QSettingsPreferencesStore later(path);
    EXPECT_EQ(later.readDouble(kKey), 0.5);
    EXPECT_EQ(later.readDouble("otherKey"), std::nullopt);
}

TEST(QSettingsPreferencesStoreTest, StoredTextThatIsNotAFiniteNumberReadsAsNothing) {
    QTemporaryDir directory;
    const QString path = directory.filePath("settings.ini");
    for (const char* stored : {"fast", "", "1,5", "nan", "inf", "0.5 seconds"}) {
        writeText(path, QByteArray("[General]\nrefreshIntervalSeconds=") + stored + "\n");
        const QSettingsPreferencesStore store(path);
        EXPECT_EQ(store.readDouble(kKey), std::nullopt) << stored;
    }
    writeText(path, "[General]\nrefreshIntervalSeconds= 2 \n");
    EXPECT_EQ(QSettingsPreferencesStore(path).readDouble(kKey), 2.0);
}

TEST(QSettingsPreferencesStoreTest, AnUnwritableLocationReportsTheFailedWrite) {
    QTemporaryDir directory;
    writeText(directory.filePath("file"), "not a directory");
    QSettingsPreferencesStore store(directory.filePath("file/settings.ini"));
    EXPECT_FALSE(store.writeDouble(kKey, 5.0));
}

TEST(QSettingsPreferencesStoreTest, TheDefaultStoreIsTheUsersPylonixSettings) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QSettingsPreferencesStore store;
    EXPECT_TRUE(store.writeDouble(kKey, 2.0));
    QFile file(home.filePath("Pylonix/Pylonix.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("refreshIntervalSeconds=2"));
}

}  // namespace
}  // namespace pylonix::qt_platform
