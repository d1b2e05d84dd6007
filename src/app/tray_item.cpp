#include "app/tray_item.h"

#include <QCursor>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdlib>
#include <string>

#include "app/panel_placement.h"
#include "app/qt_platform_choice.h"
#include "app/tray_icon_theme.h"
#include "platform/linux/files/outside_file.h"
#include "platform/linux/tray/dbus_menu_exporter.h"
#include "platform/linux/tray/status_notifier_item.h"
#include "platform/linux/tray/tray_host.h"
#include "power/power_formatters.h"
#include "ui/tray_label.h"

namespace pylonix {
namespace {

using linux_platform::StatusNotifierItem;

constexpr int kTrayPollMilliseconds = 2000;
constexpr const char* kMenuPath = "/MenuBar";
// How long a watcher that exists may take to accept the item before the other trays are tried.
constexpr int kWatcherAnswerMilliseconds = 1500;
// How long a host that stopped showing the item (a panel that restarts, GNOME Shell replaced)
// may take to show it again before the other trays are tried.
constexpr int kHostReturnMilliseconds = 4000;

// The short name of the process that owns `service` on `bus`; empty when unknown.
std::string busNameOwnerProcess(const QDBusConnection& bus, const QString& service) {
    QDBusConnectionInterface* const daemon = bus.interface();
    if (daemon == nullptr) return {};
    const QDBusReply<uint> pid = daemon->servicePid(service);
    if (!pid.isValid()) return {};
    const auto comm =
        linux_platform::readOutsideFile("/proc/" + std::to_string(pid.value()) + "/comm");
    return comm ? std::string(linux_platform::trimSpace(*comm)) : std::string();
}

// The icon's name: a new name for every icon that looks different.
QString iconName(const TrayIconContent& icon) {
    QString name = QStringLiteral("pylonix-");
    if (icon.kind == TrayIconContent::Kind::figure) {
        name += QStringLiteral("figure-") + (icon.text == QString::fromUtf8(kMissingValueText)
                                                 ? QStringLiteral("none")
                                                 : icon.text);
    } else {
        name += icon.text;
    }
    if (icon.showsBadge) name += QStringLiteral("-update");
    return name;
}

linux_platform::StatusNotifierPixmaps toPixmaps(const QList<QImage>& images) {
    linux_platform::StatusNotifierPixmaps pixmaps;
    for (const QImage& image : images) {
        pixmaps.append(linux_platform::StatusNotifierPixmap::fromImage(image));
    }
    return pixmaps;
}

}  // namespace

std::unique_ptr<linux_platform::DBusMenuExporter> TrayItem::makeMenu() {
    auto menu = std::make_unique<linux_platform::DBusMenuExporter>();
    QList<linux_platform::DBusMenuEntry> entries;
    for (const TrayMenuEntry& entry : trayMenuEntries()) {
        entries.append(
            {static_cast<int>(entry.action),
             QString::fromUtf8(entry.label.data(), static_cast<qsizetype>(entry.label.size()))});
    }
    menu->setEntries(std::move(entries));
    connect(menu.get(), &linux_platform::DBusMenuExporter::entryActivated, this,
            [this](int id) { emit menuActionRequested(static_cast<TrayMenuAction>(id)); });
    return menu;
}

TrayItem::TrayItem(QDBusConnection bus, std::optional<bool> showsLabels, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), labelsOverride_(showsLabels) {
    trayPoll_ = new QTimer(this);
    trayPoll_->setInterval(kTrayPollMilliseconds);
    connect(trayPoll_, &QTimer::timeout, this, &TrayItem::choosePresence);
    watcherWait_ = new QTimer(this);
    watcherWait_->setSingleShot(true);
    connect(watcherWait_, &QTimer::timeout, this, [this] {
        waitingForWatcher_ = false;
        choosePresence();
    });
    sinceActivated_.invalidate();

    if (bus_.isConnected()) {
        statusNotifier_ = std::make_unique<StatusNotifierItem>(bus_, QStringLiteral("pylonix"),
                                                               QStringLiteral("Hardware"));
        menu_ = makeMenu();
        if (menu_->exportAt(bus_, QString::fromLatin1(kMenuPath))) {
            statusNotifier_->setMenuPath(QString::fromLatin1(kMenuPath));
        }
        statusNotifier_->setIconDrawer([this](const QString&) { return toPixmaps(shownImages()); });
        connect(statusNotifier_.get(), &StatusNotifierItem::shownByHostChanged, this,
                [this](bool shown) {
                    if (!shown && presence_ == Presence::statusNotifier) {
                        waitForWatcher(kHostReturnMilliseconds);
                    } else {
                        choosePresence();
                    }
                });
        connect(statusNotifier_.get(), &StatusNotifierItem::activated, this,
                &TrayItem::hostActivated);
        connect(statusNotifier_.get(), &StatusNotifierItem::secondaryActivated, this,
                [this](QPoint position) { emit openRequested(anchorAt(position)); });
    } else {
        choosePresence();
    }
}

TrayItem::~TrayItem() = default;

void TrayItem::show(const TrayItemValues& values) {
    if (values == values_ && presence_ != Presence::pending) return;  // most refreshes
    values_ = values;
    refresh();
    if (statusNotifier_ && !statusNotifier_->isPublished()) publishStatusNotifier();
}

// The item is published only once it has its content, so that no host shows it empty.
void TrayItem::publishStatusNotifier() {
    if (!statusNotifier_->publish()) statusNotifier_.reset();
    if (watcherOnBus()) {
        waitForWatcher(kWatcherAnswerMilliseconds);
    } else {
        choosePresence();
    }
}

bool TrayItem::watcherOnBus() const {
    return statusNotifier_ && statusNotifier_->hasWatcher();
}

void TrayItem::waitForWatcher(int milliseconds) {
    waitingForWatcher_ = true;
    watcherWait_->start(milliseconds);
}

QRect TrayItem::anchorAt(QPoint reported) const {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens.append(screen->geometry());
    // In a Wayland session Qt's pointer position is stale (XWayland sees the pointer only over
    // X windows) or (0, 0) (the Wayland platform): the host's point stands.
    const QPoint position = clickPosition(
        reported, inWaylandSession() ? std::nullopt : std::optional<QPoint>(QCursor::pos()),
        screens);
    return position.isNull() ? QRect() : QRect(position, QSize(1, 1));
}

void TrayItem::hostActivated(QPoint position) {
    // A double click sends two activations; they count as one.
    if (sinceActivated_.isValid() &&
        sinceActivated_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval()) {
        return;
    }
    emit activated(anchorAt(position));
    // From the end of the opening: the host's later calls of a double click wait in the queue
    // while the panel opens, which can take longer than the interval.
    sinceActivated_.start();
}

bool TrayItem::iconCarriesFigure() const {
    return presence_ != Presence::statusNotifier || !hostShowsLabels_;
}

void TrayItem::choosePresence() {
    if (statusNotifier_ && statusNotifier_->isShownByHost()) {
        setPresence(Presence::statusNotifier);
    } else if (waitingForWatcher_) {
        return;  // the watcher's answer, or its time limit, decides
    } else if (watcherOnBus()) {
        // Qt's tray icon would be no XEmbed icon here: Qt sees the watcher and registers its
        // icon with it as a second item, on a connection of its own, which goes away again
        // once the host shows this one. The item waits for the watcher's host instead.
        setPresence(Presence::none);
    } else if (QSystemTrayIcon::isSystemTrayAvailable()) {
        setPresence(Presence::xembed);
    } else {
        setPresence(Presence::none);
    }
}

void TrayItem::setPresence(Presence presence) {
    if (presence == presence_) return;
    presence_ = presence;
    if (presence == Presence::xembed) {
        xembed_ = std::make_unique<QSystemTrayIcon>();
        connect(xembed_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context) {
                        emit activated(xembed_->geometry());
                    }
                });
    } else {
        xembed_.reset();
    }
    if (presence == Presence::statusNotifier) {
        trayPoll_->stop();
        decideLabels();
    } else if (presence != Presence::pending) {
        trayPoll_->start();
    }
    refresh();
    if (xembed_) xembed_->show();
    emit presenceChanged(presence);
}

void TrayItem::decideLabels() {
    if (labelsOverride_) {
        hostShowsLabels_ = *labelsOverride_;
        return;
    }
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");  // NOLINT(concurrency-mt-unsafe)
    hostShowsLabels_ = linux_platform::trayHostShowsLabels(
        busNameOwnerProcess(bus_,
                            QString::fromLatin1(linux_platform::kStatusNotifierWatcherService)),
        desktop != nullptr ? desktop : "");
}

TrayIconContent TrayItem::iconContent(bool carriesFigure) const {
    TrayIconContent content;
    content.showsBadge = values_.showsUpdateBadge;
    content.badgeGlyph = values_.badgeGlyph;
    if (carriesFigure) {
        content.kind = TrayIconContent::Kind::figure;
        content.text = values_.iconFigure;
    } else {
        content.text = values_.symbolGlyph;
    }
    return content;
}

const QList<QImage>& TrayItem::shownImages() {
    if (shownImages_.isEmpty()) shownImages_ = painter_->drawSizes(shownIcon_);
    return shownImages_;
}

void TrayItem::refresh() {
    const TrayIconContent icon = iconContent(iconCarriesFigure());
    const bool iconChanged = icon != shownIcon_;
    if (iconChanged) {
        shownIcon_ = icon;
        shownImages_.clear();
    }

    if (statusNotifier_) {
        linux_platform::StatusNotifierItemContent content = statusNotifier_->content();
        content.title = QStringLiteral("Pylonix");
        content.iconName = iconName(icon);
        // Hosts that load icons by name find the symbol in the private theme, written once
        // per name. The figure changes at nearly every refresh and is offered as images only:
        // writing its files would cost ten times the drawing, and the hosts that show the
        // figure in the icon (no label) all read images.
        const bool symbol = icon.kind == TrayIconContent::Kind::symbol;
        if (symbol && !iconTheme_) {
            iconTheme_ = std::make_unique<TrayIconTheme>(TrayIconTheme::folderForThisProcess());
        }
        const bool named = symbol && !iconTheme_->path().isEmpty() &&
                           iconTheme_->add(content.iconName, shownImages());
        content.iconThemePath = named ? iconTheme_->path() : QString();
        content.accessibleDescription = values_.accessibilityLabel;
        content.toolTip.title = values_.accessibilityLabel;
        content.toolTip.text = values_.tooltip;
        content.label = QString::fromStdString(trayLabel(values_.valueText.toStdString()));
        content.labelGuide = QString::fromUtf8(kTrayLabelGuide.data(),
                                               static_cast<qsizetype>(kTrayLabelGuide.size()));
        statusNotifier_->setContent(std::move(content));
    }
    if (xembed_) {
        if (iconChanged || xembed_->icon().isNull()) xembed_->setIcon(makeTrayIcon(painter_, icon));
        xembed_->setToolTip(values_.accessibilityLabel + QLatin1Char('\n') + values_.tooltip);
    }
}

}  // namespace pylonix
