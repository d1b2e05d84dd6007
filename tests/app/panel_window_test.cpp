// The panel's window around the real panel, offscreen: what each opening shows and what Escape
// closes.
#include "app/panel_window.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPointer>
#include <QQuickItem>
#include <QQuickView>
#include <QTest>

#include "../ui/qml/panel_qml_fixture.h"
#include "../ui/snapshot_builders.h"

namespace pylonix {
namespace {

using testing::dischargingSnapshot;
using testing::inputFor;

class PanelWindowTest : public testing::PanelQmlTest {
  protected:
    PanelWindowTest()
        // Each opening as the application does it: the bridge starts fresh, the scene is built.
        : window_(
              [this](QQuickView& view) {
                  bridge_.beginOpening();
                  return loadPowerPanel(view, bridge_);
              },
              [](const QScreen*) { return QSize(360, 400); }) {
        PanelInput input = inputFor(dischargingSnapshot());
        input.screenVisibleHeight = 460;
        bridge_.setInput(input);
        PowerSettingsInputs settings;
        settings.launchAtLoginError = "Permission denied";
        bridge_.settings().setInputs(settings);
    }

    QQuickItem* find(const char* objectName) {
        QList<QQuickItem*> found;
        collect(window_.view()->rootObject(), QString::fromUtf8(objectName), found);
        EXPECT_EQ(found.size(), 1) << objectName;
        return found.value(0);
    }
    QObject* popup(const char* name) {
        return find("settings-menu")->property(name).value<QObject*>();
    }
    bool opened(const char* name) {
        QObject* found = popup(name);
        EXPECT_NE(found, nullptr) << name;
        return found != nullptr && found->property("opened").toBool();
    }
    QObject* flickable() { return find("power-scroll")->property("contentItem").value<QObject*>(); }
    // The menu, and over it the alert of a login-item problem.
    void openMenuAndAlert() {
        QMetaObject::invokeMethod(find("settings-menu"), "openMenu");
        bridge_.settings().choose(3);
        clock_.advanceBy(400);
        ASSERT_TRUE(opened("menu"));
        ASSERT_TRUE(opened("alert"));
    }
    void pressEscape() {
        // Sent to the window as the platform does (QTest's keyboard assumes widgets here).
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(window_.view(), &escape);
        clock_.advanceBy(400);
    }

    testing::ManualAnimationClock clock_;
    PanelWindow window_;
};

TEST_F(PanelWindowTest, EscapeClosesTheAlertThenTheMenuThenThePanel) {
    window_.open(QRect());
    ASSERT_TRUE(window_.isOpen());
    openMenuAndAlert();

    pressEscape();
    ASSERT_TRUE(window_.isOpen());
    EXPECT_FALSE(opened("alert"));
    EXPECT_FALSE(bridge_.settings().openIssue());
    EXPECT_TRUE(opened("menu"));

    pressEscape();
    ASSERT_TRUE(window_.isOpen());
    EXPECT_FALSE(opened("menu"));

    pressEscape();
    EXPECT_FALSE(window_.isOpen());
}

TEST_F(PanelWindowTest, AWindowOfFixedSizeThatTilingCompositorsFloat) {
    window_.open(QRect());
    ASSERT_TRUE(window_.isOpen());
    const QQuickView& view = *window_.view();
    EXPECT_EQ(view.size(), QSize(360, 400));
    EXPECT_EQ(view.minimumSize(), view.size());
    EXPECT_EQ(view.maximumSize(), view.size());
    EXPECT_TRUE(view.flags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(PanelWindowTest, EachOpeningBuildsANewSceneAndClosingDestroysIt) {
    window_.open(QRect());
    QPointer<QQuickView> first = window_.view();
    flickable()->setProperty("contentY", 150);
    ASSERT_EQ(flickable()->property("contentY").toDouble(), 150);
    openMenuAndAlert();

    window_.close();
    EXPECT_EQ(window_.view(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    // Opened again a moment later (not the same click).
    QTest::qWait(350);
    window_.open(QRect());
    ASSERT_TRUE(window_.isOpen());
    clock_.advanceBy(50);
    EXPECT_EQ(flickable()->property("contentY").toDouble(), 0);
    EXPECT_FALSE(opened("menu"));
    EXPECT_FALSE(opened("alert"));
    EXPECT_FALSE(bridge_.settings().openIssue());
}

TEST_F(PanelWindowTest, PreparingDrawsTheSceneOnceOffScreenAndLeavesThePanelClosed) {
    int loads = 0;
    bool drawn = false;
    bool shown = false;
    const PanelWindow::SceneLoader warmUp = [&](QQuickView& view) {
        ++loads;
        QObject::connect(&view, &QQuickWindow::afterRendering, [&] { drawn = true; });
        QObject::connect(&view, &QWindow::visibleChanged, [&](bool visible) { shown |= visible; });
        return loadPowerPanel(view, bridge_);
    };
    window_.prepare(warmUp);
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(drawn);
    EXPECT_FALSE(shown);
    EXPECT_FALSE(window_.isOpen());
    EXPECT_EQ(window_.view(), nullptr);

    // The opening after it builds its own scene; preparing while open leaves that one alone.
    window_.open(QRect());
    ASSERT_TRUE(window_.isOpen());
    const QPointer<QQuickView> open = window_.view();
    window_.prepare(warmUp);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(window_.view(), open.data());
    EXPECT_TRUE(window_.isOpen());
}

}  // namespace
}  // namespace pylonix
