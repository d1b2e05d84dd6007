// The application list and the settings menu as QML draws them, offscreen.
#include <gtest/gtest.h>

#include <QQuickItem>
#include <string>

#include "../snapshot_builders.h"
#include "panel_qml_fixture.h"

namespace pylonix {
namespace {

using testing::dischargingSnapshot;
using testing::inputFor;

PanelInput withApplications(int count) {
    return testing::withApplications(dischargingSnapshot(), count);
}

class LowerPanelQmlTest : public testing::PanelQmlTest {
  protected:
    int shownRows() {
        int count = 0;
        for (QQuickItem* row : items("application-row")) count += row->isVisible() ? 1 : 0;
        return count;
    }
    void click(QQuickItem* button) {
        ASSERT_NE(button, nullptr);
        QMetaObject::invokeMethod(button, "clicked");
        QCoreApplication::processEvents();
    }
    // The open menu's items live in the window's overlay, outside the panel's own tree.
    QQuickItem* menuItem(const char* objectName) {
        QList<QQuickItem*> found;
        collect(view_->contentItem(), QString::fromUtf8(objectName), found);
        EXPECT_EQ(found.size(), 1) << objectName;
        return found.value(0);
    }
    QObject* flickable() { return item("power-scroll")->property("contentItem").value<QObject*>(); }
    double sectionTop() {
        auto* viewport = qobject_cast<QQuickItem*>(flickable());
        return item("application-power-section")->mapToItem(viewport, QPointF()).y();
    }
};

TEST_F(LowerPanelQmlTest, RowsCollapsedAndExpandedWithTheToggle) {
    load(withApplications(7));
    EXPECT_EQ(shownRows(), 5);
    QQuickItem* toggle = item("toggle-all-applications");
    EXPECT_TRUE(toggle->isVisible());
    EXPECT_EQ(property(item("toggle-label"), "text"), "查看全部 7 个应用");
    EXPECT_EQ(property(toggle, "accessibilityValue"), "已收起");
    EXPECT_EQ(property(toggle, "Accessible.description"), "已收起");
    EXPECT_EQ(item("toggle-chevron")->rotation(), 0);

    click(toggle);
    EXPECT_EQ(shownRows(), 7);
    EXPECT_EQ(property(item("toggle-label"), "text"), "收起列表");
    EXPECT_EQ(property(item("toggle-all-applications"), "accessibilityValue"), "已展开");
    EXPECT_EQ(item("toggle-chevron")->rotation(), 180) << "the gate is closed: no animation";

    click(item("toggle-all-applications"));
    EXPECT_EQ(shownRows(), 5);
}

TEST_F(LowerPanelQmlTest, RowTextsAndTheFallbackIcon) {
    PanelInput input = withApplications(1);
    input.applicationPower.entries[0] = {"/apps/a", "Editor", std::nullopt, 0, 2};
    load(input);
    QQuickItem* row = item("application-row");
    EXPECT_EQ(property(row, "Accessible.name"), "Editor，CPU 功率 —，等待可用数据");
    EXPECT_EQ(property(item("application-watts", row), "text"), "—");
    EXPECT_EQ(property(item("application-detail", row), "text"), "等待可用数据");
    EXPECT_TRUE(item("application-icon-fallback", row)->isVisible());
    EXPECT_FALSE(item("application-icon", row)->isVisible());
    EXPECT_FALSE(item("toggle-all-applications")->isVisible());
}

TEST_F(LowerPanelQmlTest, StateTextsAndFootnote) {
    load(inputFor(dischargingSnapshot()));
    EXPECT_TRUE(shown("application-collecting"));
    EXPECT_EQ(property(item("application-collecting"), "text"), "正在采样，约 2 秒后显示…");
    EXPECT_EQ(property(item("application-power-footnote"), "text"),
              "约 2 秒 CPU 平均估算，仅统计可读取且可归属进程，不代表应用的全部耗电。");

    PanelInput empty = withApplications(0);
    bridge_.setInput(empty);
    EXPECT_FALSE(shown("application-collecting"));
    EXPECT_TRUE(shown("application-empty"));
    EXPECT_EQ(property(item("application-empty"), "text"), "暂无可显示的运行中应用");
}

TEST_F(LowerPanelQmlTest, MenuEntriesPresentAndEnabledAsTheModelSays) {
    load(withApplications(2));
    PowerSettingsInputs inputs;
    inputs.launchAtLoginEnabled = true;
    inputs.launchAtLoginNeedsApproval = true;
    inputs.softwareUpdateError = "更新检查暂时无法启动，请重新打开 App 后重试。";
    inputs.version = "1.0";
    bridge_.settings().setInputs(inputs);
    EXPECT_TRUE(shown("settings-problem-badge"));
    EXPECT_EQ(property(item("settings-menu"), "Accessible.name"), "设置，有项目需要处理");

    QMetaObject::invokeMethod(item("settings-menu"), "openMenu");
    QCoreApplication::processEvents();
    QQuickItem* login = menuItem("settings-launch-at-login");
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->property("checkable").toBool());
    EXPECT_TRUE(login->property("checked").toBool());
    EXPECT_EQ(property(menuItem("settings-entry-2"), "text"), "允许登录时启动…");
    EXPECT_FALSE(menuItem("software-update-check")->isEnabled());
    EXPECT_FALSE(menuItem("software-update-automatic")->isEnabled());
    EXPECT_TRUE(menuItem("settings-refresh-now")->isEnabled());
    EXPECT_TRUE(menuItem("settings-quit")->isEnabled());
    EXPECT_EQ(property(menuItem("settings-quit"), "text"), "退出 Pylonix");

    auto* interval = item("settings-menu")->findChild<QObject*>("settings-refresh-interval");
    ASSERT_NE(interval, nullptr);
    EXPECT_EQ(interval->property("title").toString(), QString::fromUtf8("刷新频率"));
    ASSERT_EQ(interval->property("count").toInt(), 4);
    const auto option = [&](int index) {
        QQuickItem* found = nullptr;
        QMetaObject::invokeMethod(interval, "itemAt", Q_RETURN_ARG(QQuickItem*, found),
                                  Q_ARG(int, index));
        return found;
    };
    EXPECT_EQ(property(option(0), "text"), "0.5 秒");
    EXPECT_EQ(property(option(2), "text"), "2 秒");
    EXPECT_FALSE(option(2)->property("checked").toBool());
    EXPECT_TRUE(option(1)->property("checked").toBool()) << "one second, the initial interval";
}

TEST_F(LowerPanelQmlTest, AlertShowsTheIssueAndItsButtonClosesIt) {
    load(withApplications(2));
    PowerSettingsInputs inputs;
    inputs.launchAtLoginError = "Permission denied";
    bridge_.settings().setInputs(inputs);
    bridge_.settings().choose(3);
    QCoreApplication::processEvents();

    auto* alert = item("settings-menu")->findChild<QObject*>("settings-alert");
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->property("visible").toBool());
    EXPECT_EQ(alert->property("title").toString(), QString::fromUtf8("登录时启动"));
    EXPECT_EQ(property(menuItem("settings-alert-message"), "text"), "Permission denied");
    QQuickItem* ok = menuItem("settings-alert-button");
    EXPECT_EQ(property(ok, "text"), "好");

    click(ok);
    EXPECT_FALSE(bridge_.settings().openIssue());
    EXPECT_FALSE(alert->property("visible").toBool());

    // It opens again for the next request.
    bridge_.settings().choose(3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(alert->property("visible").toBool());
}

TEST_F(LowerPanelQmlTest, CollapseScrollsOnlyWhenTheSectionTopIsAboveTheViewport) {
    // A short panel, so that the content under the section can fill the viewport.
    PanelInput input = withApplications(12);
    input.screenVisibleHeight = 360;
    load(input);
    click(item("toggle-all-applications"));  // expanded
    QObject* scroll = flickable();
    const double restingTop = sectionTop();
    ASSERT_GT(restingTop, 40);

    scroll->setProperty("contentY", restingTop + 120);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(sectionTop(), -120);
    click(item("toggle-all-applications"));  // collapsed, immediately: the gate is closed
    EXPECT_DOUBLE_EQ(sectionTop(), 0);

    click(item("toggle-all-applications"));
    scroll->setProperty("contentY", restingTop - 40);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(sectionTop(), 40);
    click(item("toggle-all-applications"));
    EXPECT_DOUBLE_EQ(sectionTop(), 40);
    EXPECT_DOUBLE_EQ(scroll->property("contentY").toDouble(), restingTop - 40);
}

}  // namespace
}  // namespace pylonix
