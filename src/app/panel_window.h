#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QSize>
#include <functional>
#include <memory>

class QQuickView;
class QScreen;

namespace pylonix {

// The panel's frameless window: anchored under the tray item, closed by Escape or by a click
// anywhere outside it (the pointer is grabbed while it is open, retried until the window is mapped;
// losing the focus closes it too, for desktops that do not allow grabs). The QML scene is loaded on
// the first opening and kept; it is hidden, not destroyed, on closing.
class PanelWindow : public QObject {
    Q_OBJECT

  public:
    // The panel's size in device-independent pixels on the screen it opens on.
    using SizeRule = std::function<QSize(const QScreen* screen)>;
    // Loads the panel's QML into the view; false when it cannot (the loader reports why).
    using SceneLoader = std::function<bool(QQuickView& view)>;

    PanelWindow(SceneLoader loader, SizeRule sizeRule, QObject* parent = nullptr);
    ~PanelWindow() override;

    bool isOpen() const;
    // A click on the tray item: opens the panel at `anchor`, or closes it when open.
    void toggle(const QRect& anchor);
    void open(const QRect& anchor);
    void close();

    // The scene, once the panel has opened; null before.
    QQuickView* view() const { return view_.get(); }

  signals:
    void opened();
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool ensureView();
    void grab();

    SceneLoader loader_;
    SizeRule sizeRule_;
    std::unique_ptr<QQuickView> view_;
    QElapsedTimer sinceOpened_;
    QElapsedTimer sinceClosed_;
    int grabTries_ = -1;  // grab attempts since opening; -1 once grabbed or given up
};

}  // namespace pylonix
