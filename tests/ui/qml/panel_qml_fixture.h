#pragma once

// The panel loaded offscreen from plain values, with its items found by objectName.
#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QAnimationDriver>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickView>
#include <memory>
#include <string>

#include "ui/qml/panel_bridge.h"

namespace pylonix::testing {

inline PanelInput inputFor(PowerSnapshot snapshot) {
    PanelInput input;
    input.snapshot = std::move(snapshot);
    return input;
}

// A reading with `count` sampled applications, the highest first.
inline PanelInput withApplications(PowerSnapshot snapshot, int count) {
    PanelInput input = inputFor(std::move(snapshot));
    input.applicationPower.state = ApplicationPowerSnapshot::State::available();
    for (int index = 0; index < count; ++index) {
        input.applicationPower.entries.push_back({"/apps/" + std::to_string(index),
                                                  "App " + std::to_string(index), 10.0 - index,
                                                  index % 3, 2});
    }
    return input;
}

// Drives every animation by hand, so that a test can look at a frame in the middle of one.
class ManualAnimationClock : public QAnimationDriver {
  public:
    ManualAnimationClock() {
        install();
        // Qt's animation timer stops its driver whenever no animation runs, and lets wall-clock
        // time in when it starts it again; one animation without end keeps it running.
        running_.start();
        QCoreApplication::processEvents();
    }
    ~ManualAnimationClock() override {
        running_.stop();
        uninstall();
    }
    ManualAnimationClock(const ManualAnimationClock&) = delete;
    ManualAnimationClock& operator=(const ManualAnimationClock&) = delete;

    void advanceBy(qint64 milliseconds) {
        // Animations started since the last step join the timer on the event loop.
        QCoreApplication::processEvents();
        now_ += milliseconds;
        advance();
        QCoreApplication::processEvents();
    }
    qint64 elapsed() const override { return now_; }

  private:
    class Forever : public QAbstractAnimation {
      public:
        int duration() const override { return -1; }

      protected:
        void updateCurrentTime(int) override {}
    };

    qint64 now_ = 0;
    Forever running_;
};

class PanelQmlTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "panel_qml_test";
        static char* argv[] = {name, nullptr};
        // Run directly, the binary draws offscreen too.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
        if (QGuiApplication::instance() == nullptr) application_ = new QGuiApplication(argc, argv);
    }

    void load(PanelInput input) {
        input.timeStyle = {"zh_CN", "UTC"};
        bridge_.setInput(std::move(input));
        view_ = std::make_unique<QQuickView>();
        ASSERT_TRUE(loadPowerPanel(*view_, bridge_));
        view_->show();
        QCoreApplication::processEvents();
    }

    // Items by objectName through the visual tree, which also holds repeated delegates.
    static void collect(QQuickItem* from, const QString& name, QList<QQuickItem*>& found) {
        for (QQuickItem* child : from->childItems()) {
            if (child->objectName() == name) found.append(child);
            collect(child, name, found);
        }
    }
    QList<QQuickItem*> items(const char* objectName, QQuickItem* within = nullptr) {
        QList<QQuickItem*> found;
        collect(within ? within : view_->rootObject(), QString::fromUtf8(objectName), found);
        return found;
    }
    QQuickItem* item(const char* objectName, QQuickItem* within = nullptr) {
        const auto found = items(objectName, within);
        EXPECT_EQ(found.size(), 1) << objectName;
        return found.value(0);
    }

    QString property(QQuickItem* target, const char* name) {
        return QQmlProperty(target, QString::fromUtf8(name), qmlContext(target)).read().toString();
    }

    // Shown on screen: the item and all its parents visible.
    bool shown(const char* objectName) {
        QQuickItem* found = item(objectName);
        return found != nullptr && found->isVisible();
    }

    static inline QGuiApplication* application_ = nullptr;
    PanelBridge bridge_;
    std::unique_ptr<QQuickView> view_;
};

}  // namespace pylonix::testing
