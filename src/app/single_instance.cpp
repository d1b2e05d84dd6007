#include "app/single_instance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <cstdio>
#include <string_view>

#include "common/application_info.h"

namespace pylonix {

// The interface name in the class information must be the application id.
static_assert(std::string_view(kApplicationId) == "io.github.pylonix.Pylonix");

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {}

SingleInstance::Claim SingleInstance::claim() {
    if (!bus_.isConnected()) return Claim::noBus;
    const QString id = QString::fromUtf8(kApplicationId);
    const QString path = QString::fromUtf8(kSingleInstancePath);
    const auto own = [&] {
        // The object first, so that whoever sees the name finds it served.
        bus_.registerObject(path, this, QDBusConnection::ExportScriptableSlots);
        if (bus_.registerService(id)) return true;
        bus_.unregisterObject(path);
        return false;
    };
    if (own()) return Claim::first;
    constexpr int kAnswerTimeoutMs = 5000;
    const QDBusMessage reply =
        bus_.call(QDBusMessage::createMethodCall(id, path, id, QStringLiteral("Activate")),
                  QDBus::Block, kAnswerTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) return Claim::handedOver;
    // The owner ended between the two calls: take its place.
    if (own()) return Claim::first;
    return Claim::ownerSilent;
}

void SingleInstance::Activate() {
    emit activated();
}

std::optional<int> exitStatusFor(SingleInstance::Claim claim) {
    switch (claim) {
        case SingleInstance::Claim::first:
        case SingleInstance::Claim::noBus:
            return std::nullopt;
        case SingleInstance::Claim::handedOver:
            return 0;
        case SingleInstance::Claim::ownerSilent:
            std::fprintf(stderr, "pylonix: another instance is running but does not answer\n");
            return 1;
    }
    return std::nullopt;
}

}  // namespace pylonix
