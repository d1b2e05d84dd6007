#include "app/panel_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <utility>

#include "app/panel_placement.h"

namespace pylonix {
namespace {

// A click on the tray item while the panel is open first closes the panel (the click is
// outside it), then reaches the item; an activation this soon after closing is that click.
constexpr qint64 kSameClickMilliseconds = 300;

}  // namespace

PanelWindow::PanelWindow(SceneLoader loader, SizeRule sizeRule, QObject* parent)
    : QObject(parent), loader_(std::move(loader)), sizeRule_(std::move(sizeRule)) {}

PanelWindow::~PanelWindow() = default;

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
    auto view = std::make_unique<QQuickView>();
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
    if (isOpen() || !createView()) return;
    QScreen* screen = anchor.isNull() ? nullptr : QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    const QSize size = sizeRule_(screen);
    view_->setScreen(screen);
    view_->resize(size);
    view_->setPosition(placePanel(available, size, anchor));
    view_->show();
    view_->requestActivate();
    view_->setKeyboardGrabEnabled(true);
    view_->setMouseGrabEnabled(true);
    sinceOpened_.start();
    emit opened();
}

void PanelWindow::close() {
    if (!isOpen()) return;
    view_->setMouseGrabEnabled(false);
    view_->setKeyboardGrabEnabled(false);
    view_->hide();
    view_->removeEventFilter(this);
    // Closing may be asked from inside the view's own event handling.
    view_.release()->deleteLater();
    sinceClosed_.start();
    emit closed();
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

bool PanelWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_.get()) {
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
