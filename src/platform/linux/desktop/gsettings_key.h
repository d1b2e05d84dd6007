#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <optional>

namespace pylonix::linux_platform {

// One GSettings key, followed live: its value is read with `gsettings get` and every change
// arrives through `gsettings monitor`, both run as child processes that never block the event
// loop. No value when gsettings is missing, the schema is not installed or the output is not
// understood.
class GSettingsKey : public QObject {
    Q_OBJECT

  public:
    // `program`: the gsettings executable; empty looks it up in PATH.
    GSettingsKey(QString schema, QString key, QString program = {}, QObject* parent = nullptr);
    ~GSettingsKey() override;
    GSettingsKey(const GSettingsKey&) = delete;
    GSettingsKey& operator=(const GSettingsKey&) = delete;

    // The value as gsettings prints it ("true", "'prefer-dark'"), without surrounding space.
    const std::optional<QString>& value() const { return value_; }

  signals:
    void changed();

  private:
    void set(std::optional<QString> value);
    void readMonitorLines();

    QString key_;
    QProcess get_;
    QProcess monitor_;
    QByteArray pending_;
    std::optional<QString> value_;
};

}  // namespace pylonix::linux_platform
