#include "app/panel_window.h"

#include <malloc.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <utility>

#include "app/panel_placement.h"
#include "app/qt_platform_choice.h"

namespace pylonix {
namespace {

// A click on the tray item while the panel is open first closes the panel (the click is
// outside it), then reaches the item; an activation this soon after closing is that click.
constexpr qint64 kSameClickMilliseconds = 300;
constexpr int kGrabTries = 20;
constexpr int kGrabRetryMilliseconds = 50;

// Qt's image caches and the allocator keep what the scene used; give it back to the system.
void releaseFreedMemory() {
    QPixmapCache::clear();
    ::malloc_trim(0);
}

}  // namespace

PanelWindow::PanelWindow(SceneLoader loader, SizeRule sizeRule, QObject* parent)
    : QObject(parent), loader_(std::move(loader)), sizeRule_(std::move(sizeRule)) {
    grabRetry_.setSingleShot(true);
    grabRetry_.setInterval(kGrabRetryMilliseconds);
    connect(&grabRetry_, &QTimer::timeout, this, &PanelWindow::grab);
    // The panel is drawn by Qt Quick's software renderer: a graphics context per opening costs
    // hundreds of milliseconds, and the driver it loads stays resident after the panel closes.
    // Set before the first Qt Quick window exists.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

PanelWindow::~PanelWindow() {
    // A scene closed just before: it needs the engine, which goes first otherwise.
    delete closing_.data();
    view_.reset();
}

bool PanelWindow::isOpen() const {
    return view_ && view_->isVisible();
}

void PanelWindow::toggle(const QRect& anchor) {
    if (isOpen()) {
        close();
    } else if (!sinceClosed_.isValid() || sinceClosed_.elapsed() > kSameClickMilliseconds) {
        open(anchor);
    }
}

bool PanelWindow::createView() {
    // One engine for every opening: its compiled types make each new scene quick to build.
    if (!engine_) engine_ = std::make_unique<QQmlEngine>();
    auto view = std::make_unique<QQuickView>(engine_.get(), nullptr);
    view->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    view->setResizeMode(QQuickView::SizeRootObjectToView);
    view->setColor(Qt::transparent);
    view->setTitle(QStringLiteral("Pylonix"));
    if (!loader_(*view)) return false;
    view->installEventFilter(this);
    connect(view.get(), &QWindow::activeChanged, this, [this] {
        if (isOpen() && !view_->isActive() && sinceOpened_.elapsed() > kSameClickMilliseconds) {
            close();
        }
    });
    view_ = std::move(view);
    return true;
}

void PanelWindow::open(const QRect& anchor) {
    QElapsedTimer sinceActivation;
    sinceActivation.start();
    if (isOpen() || !createView()) return;
    // PYLONIX_PANEL_TIMING=1: one line on standard error per opening, for the measuring script.
    if (qEnvironmentVariableIsSet("PYLONIX_PANEL_TIMING")) {
        connect(
            view_.get(), &QQuickWindow::frameSwapped, this,
            [sinceActivation] {
                std::fprintf(stderr, "pylonix: panel first frame %lld ms after the activation\n",
                             static_cast<long long>(sinceActivation.elapsed()));
            },
            Qt::SingleShotConnection);
    }
    QScreen* screen = anchor.isNull() ? nullptr : QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? availableArea(*screen) : QRect();
    const QSize size = sizeRule_(screen);
    view_->setScreen(screen);
    view_->resize(size);
    // A window of fixed size floats in tiling compositors (sway) instead of taking a tile and
    // shrinking the user's windows; a Wayland compositor places it (Qt's position is a wish).
    view_->setMinimumSize(size);
    view_->setMaximumSize(size);
    view_->setPosition(placePanel(available, size, anchor));
    view_->show();
    view_->requestActivate();
    grabTries_ = 0;  // grabbed once exposed
    sinceOpened_.start();
    emit opened();
}

void PanelWindow::close() {
    if (!isOpen()) return;
    grabTries_ = -1;
    grabRetry_.stop();
    view_->setMouseGrabEnabled(false);
    view_->setKeyboardGrabEnabled(false);
    view_->hide();
    view_->removeEventFilter(this);
    // Closing may be asked from inside the view's own event handling. Once the scene is gone,
    // the allocator gives its freed pages back.
    QQuickView* view = view_.release();
    connect(view, &QObject::destroyed, this, &releaseFreedMemory);
    view->deleteLater();
    closing_ = view;
    sinceClosed_.start();
    emit closed();
}

void PanelWindow::prepare(const SceneLoader& scene) {
    if (isOpen()) return;
    if (!engine_) engine_ = std::make_unique<QQmlEngine>();
    {
        QQuickView view(engine_.get(), nullptr);
        view.setResizeMode(QQuickView::SizeRootObjectToView);
        view.resize(sizeRule_(QGuiApplication::primaryScreen()));
        // The software renderer draws a window that was never shown into an image.
        if (scene(view)) view.grabWindow();
    }
    // The scene's objects go with the next turn of the event loop, then their memory.
    QTimer::singleShot(0, this, &releaseFreedMemory);
}

void PanelWindow::escape() {
    QVariant dismissed;
    QObject* scene = view_->rootObject();
    if (scene != nullptr && scene->metaObject()->indexOfMethod("dismissInnermost()") >= 0 &&
        QMetaObject::invokeMethod(scene, "dismissInnermost", Q_RETURN_ARG(QVariant, dismissed)) &&
        dismissed.toBool()) {
        return;
    }
    close();
}

// A grab asked for before the window manager has mapped the window fails: it is asked for
// once the window is exposed, and retried for a moment when the window manager still holds
// it back. Without it, the loss of focus still closes the panel. Qt's Wayland platform grabs
// for popups only, which need a parent window the panel does not have: there the loss of
// focus is all.
void PanelWindow::grab() {
    if (!isOpen() || grabTries_ < 0) return;
    if (onWaylandPlatform()) {
        grabTries_ = -1;
        return;
    }
    const bool keyboard = view_->setKeyboardGrabEnabled(true);
    const bool grabbed = view_->setMouseGrabEnabled(true) && keyboard;
    if (grabbed || ++grabTries_ >= kGrabTries) {
        grabTries_ = -1;
        return;
    }
    grabRetry_.start();
}

QRect availableArea(const QScreen& screen) {
    // XWayland under sway reports no work area either; under GNOME it does.
    return knownAvailableArea(screen.geometry(), screen.availableGeometry(), inWaylandSession());
}

bool PanelWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_.get()) {
        if (event->type() == QEvent::Expose && grabTries_ >= 0 && !grabRetry_.isActive() &&
            view_->isExposed()) {
            grab();
        }
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            escape();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            const QPointF position = static_cast<QMouseEvent*>(event)->position();
            if (!QRectF(QPointF(0, 0), QSizeF(view_->size())).contains(position)) {
                close();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pylonix
