#include "services/software_update_controller.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pylonix {
namespace {

// What the test sees of its driver after handing it to the controller.
struct DriverRecord {
    SoftwareUpdateState state;
    std::optional<SoftwareUpdateStartError> startError;
    int startCalls = 0;
    int checkCalls = 0;
    std::vector<bool> automaticCalls;
    std::function<void()> onStateChange;
};

class FakeDriver : public SoftwareUpdateDriving {
  public:
    explicit FakeDriver(std::shared_ptr<DriverRecord> record) : record_(std::move(record)) {}

    SoftwareUpdateState state() const override { return record_->state; }
    const std::function<void()>& onStateChange() const override { return record_->onStateChange; }
    void setOnStateChange(std::function<void()> callback) override {
        record_->onStateChange = std::move(callback);
    }
    std::optional<SoftwareUpdateStartError> start() override {
        ++record_->startCalls;
        if (!record_->startError) record_->state.canCheckForUpdates = true;
        return record_->startError;
    }
    void checkForUpdates() override { ++record_->checkCalls; }
    void setAutomaticallyChecksForUpdates(bool enabled) override {
        record_->automaticCalls.push_back(enabled);
        record_->state.automaticallyChecksForUpdates = enabled;
    }

  private:
    std::shared_ptr<DriverRecord> record_;
};

class SoftwareUpdateControllerTest : public ::testing::Test {
  protected:
    std::unique_ptr<SoftwareUpdateController> make(bool startsUpdater) {
        auto controller = std::make_unique<SoftwareUpdateController>(
            std::make_unique<FakeDriver>(record), startsUpdater,
            [this](std::string_view line) { logLines.emplace_back(line); });
        subscription = controller->state.observe([this](const auto&) { ++statePublishes; });
        return controller;
    }

    std::shared_ptr<DriverRecord> record = std::make_shared<DriverRecord>();
    std::vector<std::string> logLines;
    int statePublishes = 0;
    Subscription subscription;
};

TEST_F(SoftwareUpdateControllerTest, StartSucceeds) {
    record->state.automaticallyChecksForUpdates = true;
    auto controller = make(false);
    EXPECT_EQ(record->startCalls, 0);
    EXPECT_TRUE(controller->state->automaticallyChecksForUpdates);  // read at creation

    controller->start();
    EXPECT_TRUE(controller->isStarted());
    EXPECT_FALSE(controller->startupError->has_value());
    EXPECT_TRUE(controller->state->canCheckForUpdates);
    EXPECT_EQ(statePublishes, 1);
    EXPECT_TRUE(logLines.empty());

    controller->start();  // once only
    EXPECT_EQ(record->startCalls, 1);
    EXPECT_EQ(statePublishes, 1);
}

TEST_F(SoftwareUpdateControllerTest, StartFailureGivesTheMessageAndOneLogLine) {
    record->startError = SoftwareUpdateStartError{"此版本在构建时没有设置更新源地址。"};
    record->state.canCheckForUpdates = true;  // even a driver that says so is not asked
    record->state.automaticallyChecksForUpdates = true;
    auto controller = make(true);

    EXPECT_FALSE(controller->isStarted());
    EXPECT_EQ(*controller->startupError,
              std::optional<std::string>("更新检查暂时无法启动，请重新打开 App 后重试。"));
    EXPECT_EQ(logLines,
              (std::vector<std::string>{
                  "Pylonix updater could not start: 此版本在构建时没有设置更新源地址。"}));

    controller->checkForUpdates();
    controller->setAutomaticChecks(false);
    EXPECT_EQ(record->checkCalls, 0);
    EXPECT_TRUE(record->automaticCalls.empty());

    // The state is still followed.
    record->state.availableVersion = "2.1";
    record->onStateChange();
    EXPECT_EQ(controller->state->availableVersion, std::optional<std::string>("2.1"));

    controller->start();  // tries again only because it never started
    EXPECT_EQ(record->startCalls, 2);
    EXPECT_EQ(logLines.size(), 2u);
}

TEST_F(SoftwareUpdateControllerTest, UserActionsDecideOnAFreshRead) {
    auto controller = make(true);
    ASSERT_TRUE(controller->state->canCheckForUpdates);

    // The driver changed without telling: the published state is stale.
    record->state.canCheckForUpdates = false;
    controller->checkForUpdates();
    EXPECT_EQ(record->checkCalls, 0);

    record->state.canCheckForUpdates = true;
    controller->checkForUpdates();
    EXPECT_EQ(record->checkCalls, 1);

    record->state.automaticallyChecksForUpdates = true;
    const int publishesBefore = statePublishes;
    controller->setAutomaticChecks(true);  // already on, going by the driver
    EXPECT_TRUE(record->automaticCalls.empty());
    EXPECT_EQ(statePublishes, publishesBefore);

    controller->setAutomaticChecks(false);
    EXPECT_EQ(record->automaticCalls, (std::vector<bool>{false}));
    EXPECT_FALSE(controller->state->automaticallyChecksForUpdates);
}

TEST_F(SoftwareUpdateControllerTest, PublishesOnlyChangedStates) {
    auto controller = make(true);
    const int afterStart = statePublishes;

    record->onStateChange();
    record->onStateChange();
    EXPECT_EQ(statePublishes, afterStart);

    record->state.availableVersion = "2.1";  // a scheduled check found a version
    record->onStateChange();
    EXPECT_EQ(statePublishes, afterStart + 1);
    EXPECT_EQ(controller->state->availableVersion, std::optional<std::string>("2.1"));
    EXPECT_EQ(record->checkCalls, 0);  // nothing was asked to present it

    record->state.availableVersion.reset();  // the session ended
    record->onStateChange();
    EXPECT_EQ(statePublishes, afterStart + 2);
    EXPECT_FALSE(controller->state->availableVersion.has_value());

    record->state.lastCheckDate = wallClockFromSeconds(1765000000);
    record->onStateChange();
    EXPECT_EQ(controller->state->lastCheckDate, wallClockFromSeconds(1765000000));
    EXPECT_EQ(statePublishes, afterStart + 3);
}

TEST_F(SoftwareUpdateControllerTest, DestructionDisconnectsTheDriver) {
    auto controller = make(true);
    ASSERT_TRUE(record->onStateChange);
    controller.reset();
    EXPECT_FALSE(record->onStateChange);
}

}  // namespace
}  // namespace pylonix
