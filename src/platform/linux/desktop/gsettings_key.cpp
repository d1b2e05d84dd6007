#include "platform/linux/desktop/gsettings_key.h"

#include <QStandardPaths>
#include <utility>

namespace pylonix::linux_platform {

GSettingsKey::GSettingsKey(QString schema, QString key, QString program, QObject* parent)
    : QObject(parent), key_(std::move(key)), get_(this), monitor_(this) {
    if (program.isEmpty()) program = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (program.isEmpty()) return;
    connect(&get_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        // A change seen by the monitor meanwhile is newer than this answer.
        if (status != QProcess::NormalExit || code != 0 || value_) return;
        const QString output = QString::fromUtf8(get_.readAllStandardOutput()).trimmed();
        if (!output.isEmpty()) set(output);
    });
    connect(&monitor_, &QProcess::readyReadStandardOutput, this, &GSettingsKey::readMonitorLines);
    monitor_.start(program, {QStringLiteral("monitor"), schema, key_});
    get_.start(program, {QStringLiteral("get"), schema, key_});
}

GSettingsKey::~GSettingsKey() {
    for (QProcess* process : {&get_, &monitor_}) {
        if (process->state() == QProcess::NotRunning) continue;
        process->kill();
        process->waitForFinished(1000);
    }
}

void GSettingsKey::readMonitorLines() {
    pending_ += monitor_.readAllStandardOutput();
    // Each change is one line: "<key>: <value>".
    const QString prefix = key_ + QStringLiteral(": ");
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        const QString line = QString::fromUtf8(pending_.left(end)).trimmed();
        pending_.remove(0, end + 1);
        if (line.startsWith(prefix)) set(line.mid(prefix.size()).trimmed());
    }
}

void GSettingsKey::set(std::optional<QString> value) {
    if (value == value_) return;
    value_ = std::move(value);
    emit changed();
}

}  // namespace pylonix::linux_platform
