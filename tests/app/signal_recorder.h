#pragma once

#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QStringList>

namespace pylonix::testing {

// Collects the signals an object sends on the bus.
class SignalRecorder : public QObject {
    Q_OBJECT

  public:
    QList<QDBusMessage> messages;
    QStringList names() const {
        QStringList result;
        for (const QDBusMessage& message : messages) result.append(message.member());
        return result;
    }

  public slots:
    void record(const QDBusMessage& message) {
        messages.append(message);
        emit recorded();
    }

  signals:
    void recorded();
};

}  // namespace pylonix::testing
