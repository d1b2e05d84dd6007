// The panel as QML draws it, offscreen, from plain values: items found by objectName.
#include <gtest/gtest.h>

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickView>
#include <QTextLayout>
#include <memory>

#include "../balance_builders.h"
#include "../snapshot_builders.h"
#include "panel_qml_fixture.h"
#include "ui/qml/menu_bar_label_image.h"
#include "ui/qml/panel_bridge.h"
#include "ui/symbol_table.h"

namespace pylonix {
namespace {

using testing::availableBalance;
using testing::chargingSnapshot;
using testing::dischargingSnapshot;
using testing::inputFor;
using testing::PanelQmlTest;

TEST_F(PanelQmlTest, PanelSizeFollowsScreen) {
    PanelInput input = inputFor(dischargingSnapshot());
    input.screenVisibleHeight = 700;
    load(input);
    EXPECT_EQ(view_->rootObject()->width(), 360);
    EXPECT_EQ(view_->rootObject()->height(), 640);
    EXPECT_EQ(view_->height(), 640);

    input.screenVisibleHeight = 900;
    bridge_.setInput(input);
    EXPECT_EQ(view_->rootObject()->height(), 780);
}

TEST_F(PanelQmlTest, DischargingShowsHeadlineTilesAndBadge) {
    load(inputFor(dischargingSnapshot(12.5)));
    EXPECT_EQ(property(item("system-power-value"), "text"), "12.50");
    EXPECT_EQ(property(item("system-power-note"), "text"), "当前读数 · 不含给电池充电");
    EXPECT_EQ(property(item("status-badge"), "title"), "电池供电");
    EXPECT_EQ(property(item("status-badge"), "Accessible.name"), "电池供电");
    EXPECT_EQ(property(item("battery-percent"), "text"), "86%");
    EXPECT_EQ(property(item("battery-percent"), "Accessible.name"), "电池电量 86%");
    EXPECT_TRUE(shown("power-tiles"));
    EXPECT_EQ(property(item("battery-tile"), "Accessible.name"), "电池放电 12.5 W");
    EXPECT_EQ(property(item("adapter-tile"), "value"), "未接入");
    EXPECT_FALSE(shown("error-notice"));
    EXPECT_FALSE(shown("unavailable-notice"));
    EXPECT_FALSE(shown("update-available-shortcut"));
    EXPECT_EQ(property(item("footer-updated-at"), "text"), "更新于 05:46");
}

TEST_F(PanelQmlTest, TilesShareTheRowEqually) {
    load(inputFor(chargingSnapshot()));
    EXPECT_EQ(item("battery-tile")->width(), item("adapter-tile")->width());
    EXPECT_GT(item("battery-tile")->width(), 100);
}

TEST_F(PanelQmlTest, FailedReadingReplacesTilesWithErrorNotice) {
    load(inputFor(unavailableSnapshot("无法读取电池信息。", wallClockFromSeconds(0))));
    EXPECT_TRUE(shown("error-notice"));
    EXPECT_EQ(property(item("error-notice"), "text"), "无法读取电池信息。");
    EXPECT_FALSE(shown("power-tiles"));
    EXPECT_FALSE(shown("battery-percent"));
    EXPECT_EQ(property(item("system-power-value"), "text"), "—");
}

TEST_F(PanelQmlTest, MissingFigureShowsReasonUnderTiles) {
    PowerSnapshot snapshot = dischargingSnapshot();
    snapshot.systemPower = SystemPowerReading::unavailable("等待有效的电池放电读数。");
    load(inputFor(snapshot));
    EXPECT_TRUE(shown("power-tiles"));
    EXPECT_TRUE(shown("unavailable-notice"));
    EXPECT_EQ(property(item("unavailable-notice"), "text"), "等待有效的电池放电读数。");
    EXPECT_EQ(property(item("system-power-note"), "text"), "整机耗电暂不可用");
}

TEST_F(PanelQmlTest, AvailableBalanceShowsTotalRowAndAverage) {
    PanelInput input = inputFor(dischargingSnapshot());
    input.applicationPower.balance = availableBalance(12.3456, 3.3344, input.snapshot.timestamp);
    load(input);
    EXPECT_EQ(property(item("system-power-value"), "text"), "12.35");
    EXPECT_TRUE(shown("power-breakdown-section"));
    EXPECT_TRUE(shown("power-breakdown-total"));
    EXPECT_FALSE(shown("power-breakdown-state"));
    EXPECT_EQ(property(item("power-breakdown-application"), "Accessible.name"),
              "应用 CPU · 可读取部分 3.33 W");
    EXPECT_EQ(property(item("power-breakdown-other"), "Accessible.name"), "其他／未归属 9.02 W");
    auto* total = item("value", item("power-breakdown-total"));
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(property(total, "text"), "12.35 W");

    input.applicationPower.balance = PowerBalanceSnapshot::collecting();
    bridge_.setInput(input);
    EXPECT_FALSE(shown("power-breakdown-total"));
    EXPECT_TRUE(shown("power-breakdown-state"));
    EXPECT_EQ(property(item("power-breakdown-state"), "text"),
              "正在对齐整机与应用读数，约 2 秒后显示。");
}

TEST_F(PanelQmlTest, UpdateShortcutShownDisabledWhenChecksAreImpossible) {
    PanelInput input = inputFor(dischargingSnapshot());
    input.hasAvailableVersion = true;
    load(input);
    EXPECT_TRUE(shown("update-available-shortcut"));
    EXPECT_FALSE(item("update-available-shortcut")->isEnabled());

    input.canCheckForUpdates = true;
    bridge_.setInput(input);
    EXPECT_TRUE(item("update-available-shortcut")->isEnabled());
    EXPECT_EQ(property(item("update-available-shortcut"), "Accessible.name"), "有新版本");
}

TEST_F(PanelQmlTest, DetailsDiscloseOnToggle) {
    load(inputFor(chargingSnapshot()));
    EXPECT_FALSE(shown("power-details-content"));
    EXPECT_EQ(property(item("power-details-disclosure"), "objectName"), "power-details-disclosure");
    bridge_.togglePowerDetails();
    EXPECT_TRUE(shown("power-details-content"));
    // A new reading keeps the disclosure as the user left it.
    bridge_.setInput(inputFor(chargingSnapshot()));
    EXPECT_TRUE(shown("power-details-content"));
    EXPECT_EQ(items("power-details-row").size(), 4);
    EXPECT_EQ(property(item("power-details-source"), "text"),
              "实际输入减去电池净充电，含机内供电损耗");
}

TEST_F(PanelQmlTest, MotionGateDecidesTheCrossFade) {
    PanelInput input = inputFor(dischargingSnapshot(12.5));
    load(input);
    QQuickItem* value = item("system-power-value");
    const auto fading = [&] {
        return item("system-power-value")->childItems().value(0)->opacity();
    };

    // Off screen: the new figure replaces the old one at once.
    input.snapshot = dischargingSnapshot(9.0);
    bridge_.setInput(input);
    EXPECT_EQ(property(value, "text"), "9.00");
    EXPECT_EQ(fading(), 0.0);

    // On screen with reduced motion: still at once, also for a change of state.
    bridge_.setVisible(true);
    bridge_.setReduceMotion(true);
    input.snapshot = chargingSnapshot();
    bridge_.setInput(input);
    EXPECT_EQ(fading(), 0.0);

    // On screen, motion allowed: the old figure starts fading out (the card's and the note's
    // motion: panel_motion_qml_test.cpp).
    bridge_.setReduceMotion(false);
    input.snapshot = dischargingSnapshot(7.0);
    bridge_.setInput(input);
    EXPECT_GT(fading(), 0.0);
    bridge_.setSuppressCustomMotion(true);
    EXPECT_FALSE(bridge_.motionAllowed());
}

TEST_F(PanelQmlTest, UnitFollowsTheFigureAtSixPoints) {
    PanelInput input = inputFor(dischargingSnapshot(9.0));
    load(input);
    const auto gap = [&] {
        QQuickItem* value = item("system-power-value");
        auto* text = value->property("currentText").value<QQuickItem*>();
        const double end = value->x() + text->implicitWidth();
        return item("system-power-unit")->x() - end;
    };
    // A short figure, a long one, and the dash of a missing one: the same spacing each time.
    EXPECT_DOUBLE_EQ(gap(), 6);
    EXPECT_LT(item("system-power-unit")->x(), 136);
    for (double watts : {12.5, 123.45, 999.99}) {
        input.snapshot = dischargingSnapshot(watts);
        bridge_.setInput(input);
        EXPECT_DOUBLE_EQ(gap(), 6) << watts;
    }
    input.snapshot.systemPower = SystemPowerReading::unavailable("等待有效的电池放电读数。");
    bridge_.setInput(input);
    ASSERT_EQ(property(item("system-power-value"), "text"), "—");
    EXPECT_DOUBLE_EQ(gap(), 6);
}

TEST_F(PanelQmlTest, DarkAppearanceRepaintsTheOpenPanel) {
    load(inputFor(dischargingSnapshot()));
    const auto colorOf = [&](QQuickItem* target) {
        return target->property("color").value<QColor>();
    };
    EXPECT_EQ(colorOf(view_->rootObject()), QColor(244, 244, 246));
    const QColor lightCard = colorOf(item("system-power-card"));

    bridge_.setColorScheme(ColorScheme::dark);
    QCoreApplication::processEvents();
    EXPECT_EQ(bridge_.colorScheme(), "dark");
    EXPECT_EQ(colorOf(view_->rootObject()), QColor(30, 30, 32));
    // Texts turn light, the card keeps its orange tint over the dark window.
    EXPECT_GT(colorOf(item("footer-updated-at")).lightnessF(), 0.9);
    EXPECT_NEAR(colorOf(item("footer-updated-at")).alphaF(), 0.5, 0.01);
    const QColor darkCard = colorOf(item("system-power-card"));
    EXPECT_NE(darkCard, lightCard);
    EXPECT_GT(darkCard.redF(), darkCard.blueF());
    EXPECT_NEAR(colorOf(item("application-power-section")).alphaF(), 0.05, 0.01);

    // A new reading keeps the appearance.
    bridge_.setInput(inputFor(dischargingSnapshot(7.0)));
    EXPECT_EQ(colorOf(view_->rootObject()), QColor(30, 30, 32));
}

TEST_F(PanelQmlTest, TrayLabelKeepsItsWidthAsDigitsChange) {
    const auto width = [](double watts, bool update) {
        return renderMenuBarLabel(makePowerMenuBarLabel(dischargingSnapshot(watts), update), 22, 2,
                                  Qt::black)
            .width();
    };
    EXPECT_EQ(width(12.3, false), width(45.6, false));
    EXPECT_GT(width(12.3, true), width(12.3, false));
    EXPECT_EQ(
        renderMenuBarLabel(makePowerMenuBarLabel(dischargingSnapshot(), false), 22, 2, Qt::black)
            .height(),
        44);
}

TEST_F(PanelQmlTest, EverySymbolIsOneGlyphOfTheIconFont) {
    const QFont font(QStringLiteral("Material Icons"));
    ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("Material Icons"));
    for (const SymbolGlyph& entry : symbolTable()) {
        QTextLayout layout(QString::fromUtf8(entry.materialIcon.data(),
                                             static_cast<qsizetype>(entry.materialIcon.size())),
                           font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const auto runs = layout.glyphRuns();
        ASSERT_EQ(runs.size(), 1) << entry.symbol;
        const auto glyphs = runs.front().glyphIndexes();
        EXPECT_EQ(glyphs.size(), 1) << entry.symbol << " is not a ligature of the font";
        EXPECT_NE(glyphs.value(0), 0u) << entry.symbol;
    }
}

TEST_F(PanelQmlTest, TextFontHasTabularDigitsAndChinese) {
    const QFont font(QStringLiteral("Noto Sans CJK SC"));
    ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("Noto Sans CJK SC"));
    const QFontMetricsF metrics(font);
    const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit) {
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char(digit)), zero) << digit;
    }
    EXPECT_TRUE(metrics.inFont(QChar(0x6574)));  // 整
}

}  // namespace
}  // namespace pylonix
