#pragma once

#include <signal.h>

#include <QProcess>
#include <QString>

namespace pylonix::testing {

// A dbus-daemon of a test suite's own, so that no test touches the desktop's session bus.
class PrivateSessionBus {
  public:
    // Starts the daemon; false, with what it printed in `error`, when it does not start.
    bool start(QString* error) {
        QProcess daemon;
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--fork"),
                      QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
        if (!daemon.waitForFinished(5000)) {
            *error = QStringLiteral("dbus-daemon did not start");
            return false;
        }
        const QStringList lines =
            QString::fromUtf8(daemon.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        if (lines.size() != 2) {
            *error = QStringLiteral("dbus-daemon printed: ") + lines.join('|');
            return false;
        }
        address_ = lines[0].trimmed();
        pid_ = lines[1].trimmed().toInt();
        return true;
    }
    void stop() {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
        pid_ = 0;
    }
    const QString& address() const { return address_; }

  private:
    QString address_;
    int pid_ = 0;
};

}  // namespace pylonix::testing
