#include "platform/linux/desktop/desktop_color_scheme.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace pylonix::linux_platform {
namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kPortalSettings = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kColorScheme = QStringLiteral("color-scheme");

bool paletteIsDark() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

}  // namespace

std::optional<bool> prefersDarkFromPortal(const QVariant& value) {
    QVariant inner = value;
    while (inner.canConvert<QDBusVariant>() &&
           inner.metaType() == QMetaType::fromType<QDBusVariant>()) {
        inner = inner.value<QDBusVariant>().variant();
    }
    bool ok = false;
    const uint scheme = inner.toUInt(&ok);
    if (!ok) return std::nullopt;
    if (scheme == 1) return true;
    if (scheme == 2) return false;
    return std::nullopt;
}

std::optional<bool> prefersDarkFromGnome(std::string_view gsettingsValue) {
    if (gsettingsValue == "'prefer-dark'") return true;
    if (gsettingsValue == "'default'" || gsettingsValue == "'prefer-light'") return false;
    return std::nullopt;
}

DesktopColorScheme::Sources DesktopColorScheme::sessionSources() {
    return {.bus = QDBusConnection::sessionBus(), .gsettings = {}};
}

DesktopColorScheme::DesktopColorScheme(Sources sources, QObject* parent)
    : QObject(parent),
      bus_(sources.bus),
      gnome_(QStringLiteral("org.gnome.desktop.interface"), kColorScheme, sources.gsettings) {
    connect(&gnome_, &GSettingsKey::changed, this, &DesktopColorScheme::update);
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
    prefersDark_ = paletteIsDark();
    if (!bus_.isConnected()) return;
    // The slot's argument types must be known to D-Bus before the first connection asks.
    qDBusRegisterMetaType<QDBusVariant>();
    bus_.connect(kPortalService, kPortalPath, kPortalSettings, QStringLiteral("SettingChanged"),
                 this, SLOT(portalSettingChanged(QString, QString, QDBusVariant)));
    QDBusMessage read = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kPortalSettings,
                                                       QStringLiteral("Read"));
    read << kAppearance << kColorScheme;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *call;
                // A change signalled meanwhile is newer than this answer.
                if (reply.isError() || portal_) return;
                portal_ = prefersDarkFromPortal(QVariant::fromValue(reply.value()));
                update();
            });
}

void DesktopColorScheme::portalSettingChanged(const QString& group, const QString& key,
                                              const QDBusVariant& value) {
    if (group != kAppearance || key != kColorScheme) return;
    portal_ = prefersDarkFromPortal(value.variant());
    update();
}

bool DesktopColorScheme::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() &&
        event->type() == QEvent::ApplicationPaletteChange) {
        update();
    }
    return QObject::eventFilter(watched, event);
}

void DesktopColorScheme::update() {
    std::optional<bool> dark = portal_;
    if (!dark && gnome_.value()) dark = prefersDarkFromGnome(gnome_.value()->toStdString());
    const bool prefersDark = dark.value_or(paletteIsDark());
    if (prefersDark == prefersDark_) return;
    prefersDark_ = prefersDark;
    emit prefersDarkChanged(prefersDark);
}

}  // namespace pylonix::linux_platform
