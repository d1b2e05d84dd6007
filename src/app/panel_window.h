#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QQuickView>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <functional>
#include <memory>

class QQmlEngine;
class QQuickView;
class QScreen;

namespace pylonix {

// The panel's frameless window: anchored under the tray item, closed by Escape or by a click
// anywhere outside it (the pointer is grabbed while it is open, asked for once the window is
// exposed and retried briefly; losing the focus closes it too, for desktops that do not allow
// grabs). Each opening loads the scene anew and each closing destroys it: nothing of one
// opening (scroll position, open menu, alert) reaches the next, and the closed panel holds no
// scene in memory.
class PanelWindow : public QObject {
    Q_OBJECT

  public:
    // The panel's size in device-independent pixels on the screen it opens on.
    using SizeRule = std::function<QSize(const QScreen* screen)>;
    // Loads the panel's QML into a new view, on every opening; false when it cannot (the loader
    // reports why).
    using SceneLoader = std::function<bool(QQuickView& view)>;

    PanelWindow(SceneLoader loader, SizeRule sizeRule, QObject* parent = nullptr);
    ~PanelWindow() override;

    bool isOpen() const;
    // A click on the tray item: opens the panel at `anchor`, or closes it when open.
    void toggle(const QRect& anchor);
    void open(const QRect& anchor);
    void close();
    // Builds the scene that `scene` loads and draws it once off screen, then destroys it: the
    // first opening then finds the QML compiled, the plugins and fonts loaded and the glyphs
    // drawn. Nothing is shown.
    void prepare(const SceneLoader& scene);

    // The scene while the panel is open; null while it is closed.
    QQuickView* view() const { return view_.get(); }

  signals:
    void opened();
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool createView();
    // Escape first closes what is open inside the scene (its `dismissInnermost()`, when it has
    // one); only when nothing was, it closes the panel.
    void escape();
    void grab();

    SceneLoader loader_;
    SizeRule sizeRule_;
    std::unique_ptr<QQmlEngine> engine_;
    std::unique_ptr<QQuickView> view_;
    QPointer<QQuickView> closing_;
    QElapsedTimer sinceOpened_;
    QElapsedTimer sinceClosed_;
    QTimer grabRetry_;
    int grabTries_ = -1;  // grab attempts since the panel was exposed; -1 once grabbed or given up
};

// The screen's area without the desktop's bars, as far as it can be known (see
// `knownAvailableArea`).
QRect availableArea(const QScreen& screen);

}  // namespace pylonix
