#include "app/panel_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickView>
#include <QScreen>
#include <QTimer>
#include <utility>

#include "app/panel_placement.h"

namespace pylonix {
namespace {

// A click on the tray item while the panel is open first closes the panel (the click is
// outside it), then reaches the item; an activation this soon after closing is that click.
constexpr qint64 kSameClickMilliseconds = 300;
constexpr int kGrabTries = 20;
constexpr int kGrabRetryMilliseconds = 50;

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

bool PanelWindow::ensureView() {
    if (view_) return true;
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
    if (isOpen() || !ensureView()) return;
    QScreen* screen = anchor.isNull() ? nullptr : QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    const QSize size = sizeRule_(screen);
    view_->setScreen(screen);
    view_->resize(size);
    view_->setPosition(placePanel(available, size, anchor));
    view_->show();
    view_->requestActivate();
    grabTries_ = 0;
    grab();
    sinceOpened_.start();
    emit opened();
}

void PanelWindow::close() {
    if (!isOpen()) return;
    view_->setMouseGrabEnabled(false);
    view_->setKeyboardGrabEnabled(false);
    view_->hide();
    sinceClosed_.start();
    emit closed();
}

// A grab asked for before the window manager has mapped the window fails under most window
// managers: it is retried for a moment. Without it, the loss of focus still closes the panel.
void PanelWindow::grab() {
    if (!isOpen() || grabTries_ < 0) return;
    const bool keyboard = view_->setKeyboardGrabEnabled(true);
    const bool grabbed = view_->setMouseGrabEnabled(true) && keyboard;
    if (grabbed || ++grabTries_ >= kGrabTries) {
        grabTries_ = -1;
        return;
    }
    QTimer::singleShot(kGrabRetryMilliseconds, this, &PanelWindow::grab);
}

bool PanelWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_.get()) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close();
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
