// The panel's motion as the user sees it: frames in the middle of each animation, with the
// motion gate open and the animations driven by hand.
#include <gtest/gtest.h>

#include <QColor>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>
#include <string>

#include "../snapshot_builders.h"
#include "panel_qml_fixture.h"

namespace pylonix {
namespace {

using testing::dischargingSnapshot;
using testing::inputFor;
using testing::ManualAnimationClock;

PowerSnapshot failedReading() {
    PowerSnapshot snapshot;
    snapshot.timestamp = dischargingSnapshot().timestamp;
    snapshot.errorMessage = "无法读取电池数据。";
    return snapshot;
}

PanelInput withApplications(int count) {
    return testing::withApplications(dischargingSnapshot(), count);
}

// Strictly between the two, in every channel that differs.
bool between(const QColor& value, const QColor& from, const QColor& to) {
    const auto inside = [](double v, double a, double b) {
        return a == b ? v == a : (v > std::min(a, b) && v < std::max(a, b));
    };
    return inside(value.redF(), from.redF(), to.redF()) &&
           inside(value.greenF(), from.greenF(), to.greenF()) &&
           inside(value.blueF(), from.blueF(), to.blueF());
}

class PanelMotionTest : public testing::PanelQmlTest {
  protected:
    // Loaded off screen, then shown: the gate opens as it does in the application.
    void open(PanelInput input) {
        load(std::move(input));
        bridge_.setVisible(true);
        ASSERT_TRUE(bridge_.motionAllowed());
    }
    QColor cardFill() { return item("system-power-card")->property("color").value<QColor>(); }
    QColor cardBorder() {
        return item("system-power-card")
            ->property("border")
            .value<QObject*>()
            ->property("color")
            .value<QColor>();
    }
    // A cross-fading text's outgoing and incoming layers.
    double outgoing(const char* objectName) {
        return item(objectName)->childItems().value(0)->opacity();
    }
    QString outgoingText(const char* objectName) {
        return item(objectName)->childItems().value(0)->property("text").toString();
    }
    double incoming(const char* objectName) {
        return item(objectName)->childItems().value(1)->opacity();
    }
    QObject* flickable() { return item("power-scroll")->property("contentItem").value<QObject*>(); }
    double contentY() { return flickable()->property("contentY").toDouble(); }
    double sectionTop() {
        auto* viewport = qobject_cast<QQuickItem*>(flickable());
        return item("application-power-section")->mapToItem(viewport, QPointF()).y();
    }
    void clickToggle() {
        QMetaObject::invokeMethod(item("toggle-all-applications"), "clicked");
        QCoreApplication::processEvents();
    }

    ManualAnimationClock clock_;
};

TEST_F(PanelMotionTest, StatusChangeBlendsTheCardAndCrossFadesTheNote) {
    open(inputFor(dischargingSnapshot()));
    const QColor orangeFill = cardFill();
    const QColor orangeBorder = cardBorder();
    ASSERT_EQ(property(item("system-power-note"), "shownText"), "当前读数 · 不含给电池充电");

    bridge_.setInput(inputFor(failedReading()));
    clock_.advanceBy(90);
    // Half-way: the tint is neither orange nor red, the old note still shows through.
    const QColor midFill = cardFill();
    clock_.advanceBy(200);
    const QColor redFill = cardFill();
    const QColor redBorder = cardBorder();
    EXPECT_NE(redFill, orangeFill);
    EXPECT_TRUE(between(midFill, orangeFill, redFill))
        << midFill.name(QColor::HexArgb).toStdString();
    EXPECT_EQ(property(item("system-power-note"), "shownText"), "整机耗电暂不可用");
    EXPECT_EQ(outgoing("system-power-note"), 0.0);
    EXPECT_EQ(incoming("system-power-note"), 1.0);

    // Back to discharging: the note's cross-fade, looked at half-way.
    bridge_.setInput(inputFor(dischargingSnapshot()));
    clock_.advanceBy(90);
    EXPECT_EQ(outgoingText("system-power-note"), "整机耗电暂不可用");
    EXPECT_GT(outgoing("system-power-note"), 0.0);
    EXPECT_LT(outgoing("system-power-note"), 1.0);
    EXPECT_GT(incoming("system-power-note"), 0.0);
    EXPECT_LT(incoming("system-power-note"), 1.0);
    EXPECT_TRUE(between(cardBorder(), redBorder, orangeBorder));
    EXPECT_GT(item("status-badge")->opacity(), 0.0);
    EXPECT_LT(item("status-badge")->opacity(), 1.0);
    clock_.advanceBy(200);
    EXPECT_EQ(cardFill(), orangeFill);
    EXPECT_EQ(cardBorder(), orangeBorder);
}

TEST_F(PanelMotionTest, SameStateAndClosedGateChangeAtOnce) {
    open(inputFor(dischargingSnapshot(12.5)));
    // A new figure in the same state: the note's change is not animated.
    PanelInput balance = inputFor(dischargingSnapshot(9.0));
    balance.applicationPower.balance.totalWatts = 9.0;
    bridge_.setInput(balance);
    clock_.advanceBy(20);
    EXPECT_EQ(outgoing("system-power-note"), 0.0);
    EXPECT_EQ(incoming("system-power-note"), 1.0);

    // Reduced motion: a change of state lands at once.
    const QColor orangeFill = cardFill();
    bridge_.setReduceMotion(true);
    bridge_.setInput(inputFor(failedReading()));
    clock_.advanceBy(20);
    EXPECT_NE(cardFill(), orangeFill);
    const QColor redFill = cardFill();
    clock_.advanceBy(300);
    EXPECT_EQ(cardFill(), redFill);
    EXPECT_EQ(outgoing("system-power-note"), 0.0);
    EXPECT_EQ(property(item("system-power-note"), "shownText"), "整机耗电暂不可用");
}

TEST_F(PanelMotionTest, StateContentCrossFades) {
    open(inputFor(dischargingSnapshot()));
    EXPECT_TRUE(shown("application-collecting"));
    bridge_.setInput(withApplications(3));
    clock_.advanceBy(80);
    QQuickItem* previous = item("application-state-previous");
    QQuickItem* current = item("application-state-current");
    EXPECT_GT(previous->opacity(), 0.0);
    EXPECT_LT(previous->opacity(), 1.0);
    EXPECT_GT(current->opacity(), 0.0);
    EXPECT_LT(current->opacity(), 1.0);
    clock_.advanceBy(200);
    EXPECT_FALSE(previous->isVisible());
    EXPECT_EQ(current->opacity(), 1.0);
    EXPECT_TRUE(shown("application-rows"));
}

TEST_F(PanelMotionTest, CollapseFadesTheTailAndScrollsTheSectionBack) {
    PanelInput input = withApplications(12);
    input.screenVisibleHeight = 360;
    open(input);
    clickToggle();  // expanding fades the rows beyond the fifth in
    clock_.advanceBy(100);
    QList<QQuickItem*> rows = items("application-row");
    ASSERT_EQ(rows.size(), 12);
    EXPECT_EQ(rows[4]->opacity(), 1.0);
    EXPECT_GT(rows[5]->opacity(), 0.0);
    EXPECT_LT(rows[5]->opacity(), 1.0);
    clock_.advanceBy(200);
    EXPECT_EQ(items("application-row")[11]->opacity(), 1.0);

    const double restingTop = sectionTop();
    flickable()->setProperty("contentY", restingTop + 120);
    QCoreApplication::processEvents();
    ASSERT_DOUBLE_EQ(sectionTop(), -120);
    const double scrolled = contentY();

    clickToggle();  // collapsing: the tail fades out while the viewport scrolls back
    clock_.advanceBy(100);
    rows = items("application-row");
    ASSERT_EQ(rows.size(), 12);  // the tail is still there, fading
    EXPECT_GT(rows[5]->opacity(), 0.0);
    EXPECT_LT(rows[5]->opacity(), 1.0);
    EXPECT_LT(contentY(), scrolled);
    EXPECT_GT(contentY(), scrolled - 120);
    clock_.advanceBy(200);
    EXPECT_EQ(items("application-row").size(), 5);
    EXPECT_DOUBLE_EQ(sectionTop(), 0);
}

TEST_F(PanelMotionTest, ControlQQuitsWithTheMenuOpenOrClosed) {
    open(inputFor(dischargingSnapshot()));
    QSignalSpy quits(&bridge_.settings(), &SettingsMenuBridge::quitRequested);
    view_->requestActivate();
    QCoreApplication::processEvents();

    QTest::keyClick(view_.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits.count(), 1);

    QObject* menu = item("settings-menu")->property("menu").value<QObject*>();
    QMetaObject::invokeMethod(item("settings-menu"), "openMenu");
    clock_.advanceBy(300);
    ASSERT_TRUE(menu->property("opened").toBool());
    QTest::keyClick(view_.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits.count(), 2);
}

TEST_F(PanelMotionTest, ReopenedPanelStartsFresh) {
    PanelInput input = withApplications(12);
    input.screenVisibleHeight = 360;
    open(input);
    // Everything a user can leave behind: scrolled down, details open, the menu and an alert.
    flickable()->setProperty("contentY", 200);
    bridge_.togglePowerDetails();
    PowerSettingsInputs settings;
    settings.launchAtLoginError = "Permission denied";
    bridge_.settings().setInputs(settings);
    QMetaObject::invokeMethod(item("settings-menu"), "openMenu");
    bridge_.settings().choose(3);
    clock_.advanceBy(300);
    ASSERT_TRUE(bridge_.settings().openIssue());

    // Closed, then opened: the application's order (the scene goes, the sampling run starts
    // over from collecting, a new scene is built, then shown).
    view_.reset();
    bridge_.setVisible(false);
    bridge_.beginOpening();
    input.applicationPower = ApplicationPowerSnapshot::collecting();
    bridge_.setInput(input);
    view_ = std::make_unique<QQuickView>();
    ASSERT_TRUE(loadPowerPanel(*view_, bridge_));
    bool firstFrameCollecting = false;
    QObject::connect(
        view_.get(), &QQuickWindow::frameSwapped, view_.get(),
        [&] {
            firstFrameCollecting = shown("application-collecting") &&
                                   item("application-state-previous")->opacity() == 0.0;
        },
        Qt::SingleShotConnection);
    view_->show();
    bridge_.setVisible(true);
    for (int wait = 0; wait < 200 && !view_->isExposed(); ++wait) QTest::qWait(10);
    QCoreApplication::processEvents();
    clock_.advanceBy(20);

    EXPECT_TRUE(firstFrameCollecting);
    EXPECT_EQ(contentY(), 0.0);
    EXPECT_FALSE(shown("power-details-content"));
    EXPECT_FALSE(bridge_.settings().openIssue());
    for (const char* popup : {"menu", "alert"}) {
        QObject* found = item("settings-menu")->property(popup).value<QObject*>();
        ASSERT_NE(found, nullptr) << popup;
        EXPECT_FALSE(found->property("opened").toBool()) << popup;
    }
    EXPECT_TRUE(shown("application-collecting"));
}

}  // namespace
}  // namespace pylonix
