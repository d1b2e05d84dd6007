#include "ui/qml/settings_menu_bridge.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/in_memory_preferences_store.h"
#include "platform/testing/recording_power_reader.h"
#include "platform/testing/virtual_executor.h"
#include "power/power_monitor.h"
#include "services/launch_at_login_controller.h"
#include "services/software_update_controller.h"
#include "ui/qml/settings_menu_connection.h"

namespace pylonix {
namespace {

// The index of the entry whose label is `label`.
int indexOf(const SettingsMenuBridge& bridge, const QString& label) {
    const QVariantList entries = bridge.entries();
    for (int index = 0; index < entries.size(); ++index) {
        if (entries[index].toMap().value("label").toString() == label) return index;
    }
    ADD_FAILURE() << "no entry " << label.toStdString();
    return -1;
}

TEST(SettingsMenuBridgeTest, ChoicesBecomeSignalsOnlyForShownEnabledEntries) {
    SettingsMenuBridge bridge;
    PowerSettingsInputs inputs;
    inputs.softwareUpdateState.canCheckForUpdates = false;
    inputs.version = "1.0";
    bridge.setInputs(inputs);

    QSignalSpy interval(&bridge, &SettingsMenuBridge::refreshIntervalSelected);
    QSignalSpy login(&bridge, &SettingsMenuBridge::launchAtLoginChanged);
    QSignalSpy approve(&bridge, &SettingsMenuBridge::openLoginSettingsRequested);
    QSignalSpy check(&bridge, &SettingsMenuBridge::checkForUpdatesRequested);
    QSignalSpy refresh(&bridge, &SettingsMenuBridge::refreshRequested);
    QSignalSpy quit(&bridge, &SettingsMenuBridge::quitRequested);

    const int picker = indexOf(bridge, "刷新频率");
    bridge.choose(picker, 5.0);
    bridge.choose(picker, 3.0);     // no such interval
    bridge.choose(picker, "fast");  // not a number
    ASSERT_EQ(interval.count(), 1);
    EXPECT_EQ(interval.at(0).at(0).toDouble(), 5.0);

    bridge.choose(indexOf(bridge, "登录时启动"), true);
    ASSERT_EQ(login.count(), 1);
    EXPECT_TRUE(login.at(0).at(0).toBool());

    bridge.choose(indexOf(bridge, "允许登录时启动…"));  // hidden without approval pending
    EXPECT_EQ(approve.count(), 0);
    bridge.choose(indexOf(bridge, "检查更新…"));  // disabled: a check cannot start now
    EXPECT_EQ(check.count(), 0);
    bridge.choose(indexOf(bridge, "Pylonix 1.0"));  // a plain line
    bridge.choose(-1);
    bridge.choose(100);
    bridge.choose(indexOf(bridge, "立即刷新"));
    bridge.choose(indexOf(bridge, "退出 Pylonix"));
    EXPECT_EQ(refresh.count(), 1);
    EXPECT_EQ(quit.count(), 1);
}

TEST(SettingsMenuBridgeTest, ProblemEntriesOpenTheAlertAndItsButtonClosesIt) {
    SettingsMenuBridge bridge;
    PowerSettingsInputs inputs;
    inputs.launchAtLoginError = "Permission denied";
    inputs.softwareUpdateError = std::string(SoftwareUpdateController::kStartupErrorMessage);
    bridge.setInputs(inputs);
    EXPECT_FALSE(bridge.issue().value("shown").toBool());

    bridge.choose(indexOf(bridge, "查看启动设置问题…"));
    EXPECT_EQ(bridge.openIssue(), (SettingsIssue{"登录时启动", "Permission denied"}));
    EXPECT_EQ(bridge.issue().value("buttonLabel").toString(), QString::fromUtf8("好"));

    bridge.choose(indexOf(bridge, "查看更新设置问题…"));
    EXPECT_EQ(bridge.openIssue(),
              (SettingsIssue{"软件更新", "更新检查暂时无法启动，请重新打开 App 后重试。"}));

    bridge.closeIssue();
    EXPECT_FALSE(bridge.openIssue());
    EXPECT_FALSE(bridge.issue().value("shown").toBool());
}

class FakeLoginItemService : public LoginItemService {
  public:
    LoginItemStatus status() const override { return status_; }
    std::optional<std::string> registerItem() override {
        status_ = LoginItemStatus::enabled;
        return std::nullopt;
    }
    std::optional<std::string> unregisterItem() override {
        status_ = LoginItemStatus::notRegistered;
        return std::nullopt;
    }

  private:
    LoginItemStatus status_ = LoginItemStatus::notRegistered;
};

class FakeUpdateDriver : public SoftwareUpdateDriving {
  public:
    explicit FakeUpdateDriver(int& checks) : checks_(checks) {}
    SoftwareUpdateState state() const override { return state_; }
    const std::function<void()>& onStateChange() const override { return onStateChange_; }
    void setOnStateChange(std::function<void()> callback) override {
        onStateChange_ = std::move(callback);
    }
    std::optional<SoftwareUpdateStartError> start() override {
        state_.canCheckForUpdates = true;
        return std::nullopt;
    }
    void checkForUpdates() override { ++checks_; }
    void setAutomaticallyChecksForUpdates(bool enabled) override {
        state_.automaticallyChecksForUpdates = enabled;
        if (onStateChange_) onStateChange_();
    }

  private:
    int& checks_;
    SoftwareUpdateState state_;
    std::function<void()> onStateChange_;
};

TEST(SettingsMenuConnectionTest, ChoicesReachTheServicesAndTheMenuFollowsThem) {
    test_doubles::VirtualExecutor executor;
    InMemoryPreferencesStore preferences;
    auto reader = std::make_unique<test_doubles::RecordingPowerReader>(executor);
    const auto reads = reader->readTimes();
    const auto monitor = PowerMonitor::create(std::move(reader), preferences, executor);
    FakeLoginItemService loginService;
    LaunchAtLoginController login(loginService);
    int checks = 0;
    SoftwareUpdateController update(std::make_unique<FakeUpdateDriver>(checks), true, {});
    int quits = 0;

    SettingsMenuBridge bridge;
    const auto subscriptions = connectSettingsMenu(
        bridge, {*monitor, login, update, "2.1", nullptr, [&quits] { ++quits; }});
    EXPECT_EQ(bridge.entries()[0].toMap().value("selected").toDouble(), 1.0);
    EXPECT_EQ(bridge.entries()[indexOf(bridge, "Pylonix 2.1")].toMap().value("kind"), "text");

    bridge.choose(0, 0.5);
    EXPECT_EQ(monitor->refreshInterval(), RefreshInterval::halfSecond);
    EXPECT_EQ(preferences.readDouble(kRefreshIntervalPreferenceKey), 0.5);
    EXPECT_EQ(bridge.entries()[0].toMap().value("selected").toDouble(), 0.5);

    const int loginEntry = indexOf(bridge, "登录时启动");
    bridge.choose(loginEntry, true);
    EXPECT_TRUE(login.isEnabled.get());
    EXPECT_TRUE(bridge.entries()[loginEntry].toMap().value("checked").toBool());

    const int automatic = indexOf(bridge, "自动检查更新");
    bridge.choose(automatic, true);
    EXPECT_TRUE(update.state->automaticallyChecksForUpdates);
    EXPECT_TRUE(bridge.entries()[automatic].toMap().value("checked").toBool());

    bridge.choose(indexOf(bridge, "检查更新…"));
    EXPECT_EQ(checks, 1);

    const std::size_t readsBefore = reads->size();
    bridge.choose(indexOf(bridge, "立即刷新"));
    EXPECT_EQ(reads->size(), readsBefore + 1);

    bridge.choose(indexOf(bridge, "退出 Pylonix"));
    EXPECT_EQ(quits, 1);
}

}  // namespace
}  // namespace pylonix
