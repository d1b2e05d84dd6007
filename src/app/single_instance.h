#pragma once

#include <QDBusConnection>
#include <QObject>
#include <optional>

namespace pylonix {

// The one running instance per session: it owns the application id as its session-bus name and
// serves `Activate` on the object `kSingleInstancePath` (interface: the application id). A later
// start finds the name taken, calls `Activate` on its owner and ends.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.pylonix.Pylonix")

  public:
    enum class Claim {
        first,        // this process owns the name now
        handedOver,   // another instance owns it and was asked to open its panel
        ownerSilent,  // another instance owns it and does not answer
        noBus,        // no session bus: runs on its own, uniqueness cannot be kept
    };

    explicit SingleInstance(QDBusConnection bus = QDBusConnection::sessionBus(),
                            QObject* parent = nullptr);

    // Tries to own the name; when another process owns it, asks that one to activate.
    Claim claim();

  public slots:
    // Called over the bus by a later start.
    Q_SCRIPTABLE void Activate();

  signals:
    void activated();

  private:
    QDBusConnection bus_;
};

// How a start that lost the name ends: nothing for a start that runs (the first, or one without
// a session bus), 0 once the running instance was asked to open its panel, 1 (with a line on
// standard error) when it does not answer.
std::optional<int> exitStatusFor(SingleInstance::Claim claim);

// The object path of the running instance.
inline constexpr const char* kSingleInstancePath = "/io/github/pylonix/Pylonix";

}  // namespace pylonix
