#include "services/launch_at_login_controller.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/testing/virtual_executor.h"

namespace pylonix {
namespace {

// A login-item service whose status and failures the test sets, and which records the calls.
class FakeLoginItemService : public LoginItemService {
  public:
    LoginItemStatus currentStatus = LoginItemStatus::notRegistered;
    // What a successful register or unregister turns the status into.
    LoginItemStatus statusAfterRegister = LoginItemStatus::enabled;
    std::optional<std::string> registerFailure;
    std::optional<std::string> unregisterFailure;
    std::vector<std::string> calls;

    LoginItemStatus status() const override {
        ++statusReads;
        return currentStatus;
    }
    mutable int statusReads = 0;
    std::optional<std::string> registerItem() override {
        calls.push_back("register");
        if (registerFailure) return registerFailure;
        currentStatus = statusAfterRegister;
        return std::nullopt;
    }
    std::optional<std::string> unregisterItem() override {
        calls.push_back("unregister");
        if (unregisterFailure) return unregisterFailure;
        currentStatus = LoginItemStatus::notRegistered;
        return std::nullopt;
    }
};

TEST(LaunchAtLoginControllerTest, CreationReadsEachStatus) {
    struct Case {
        LoginItemStatus status;
        bool enabled;
        bool needsApproval;
    };
    for (const Case c : {Case{LoginItemStatus::notRegistered, false, false},
                         Case{LoginItemStatus::enabled, true, false},
                         Case{LoginItemStatus::requiresApproval, false, true},
                         Case{LoginItemStatus::notFound, false, false}}) {
        FakeLoginItemService service;
        service.currentStatus = c.status;
        LaunchAtLoginController controller(service);
        EXPECT_EQ(*controller.isEnabled, c.enabled) << toString(c.status);
        EXPECT_EQ(*controller.needsApproval, c.needsApproval) << toString(c.status);
        EXPECT_FALSE(controller.errorMessage->has_value());
        EXPECT_TRUE(service.calls.empty());
    }
}

TEST(LaunchAtLoginControllerTest, RefreshPicksUpChangesMadeElsewhere) {
    FakeLoginItemService service;
    LaunchAtLoginController controller(service);
    service.currentStatus = LoginItemStatus::enabled;
    EXPECT_FALSE(*controller.isEnabled);  // nothing is cached beyond the last read
    controller.refresh();
    EXPECT_TRUE(*controller.isEnabled);
    service.currentStatus = LoginItemStatus::requiresApproval;
    controller.refresh();
    EXPECT_FALSE(*controller.isEnabled);
    EXPECT_TRUE(*controller.needsApproval);
}

TEST(LaunchAtLoginControllerTest, SetEnabledShowsTheRealStatusAfterwards) {
    FakeLoginItemService service;
    service.statusAfterRegister = LoginItemStatus::requiresApproval;
    LaunchAtLoginController controller(service);
    controller.setEnabled(true);
    EXPECT_FALSE(*controller.isEnabled);
    EXPECT_TRUE(*controller.needsApproval);
    controller.setEnabled(false);
    EXPECT_FALSE(*controller.needsApproval);
    EXPECT_EQ(service.calls, (std::vector<std::string>{"register", "unregister"}));
}

TEST(LaunchAtLoginControllerTest, CallsTheServiceWhateverTheStatus) {
    FakeLoginItemService service;
    service.currentStatus = LoginItemStatus::enabled;
    LaunchAtLoginController controller(service);
    controller.setEnabled(true);
    service.currentStatus = LoginItemStatus::notRegistered;
    controller.refresh();
    controller.setEnabled(false);
    EXPECT_EQ(service.calls, (std::vector<std::string>{"register", "unregister"}));
}

TEST(LaunchAtLoginControllerTest, FailureIsPublishedUntilTheNextAttempt) {
    FakeLoginItemService service;
    service.registerFailure = "Permission denied";
    LaunchAtLoginController controller(service);

    controller.setEnabled(true);
    EXPECT_EQ(*controller.errorMessage, std::optional<std::string>("Permission denied"));
    EXPECT_FALSE(*controller.isEnabled);  // the real status, not the one asked for

    controller.refresh();  // refresh leaves the message alone
    EXPECT_EQ(*controller.errorMessage, std::optional<std::string>("Permission denied"));

    service.registerFailure.reset();
    controller.setEnabled(true);
    EXPECT_FALSE(controller.errorMessage->has_value());
    EXPECT_TRUE(*controller.isEnabled);

    service.unregisterFailure = "Read-only file system";
    controller.setEnabled(false);
    EXPECT_EQ(*controller.errorMessage, std::optional<std::string>("Read-only file system"));
    EXPECT_TRUE(*controller.isEnabled);
}

TEST(LaunchAtLoginControllerTest, ClearsTheMessageBeforeTheCallAndRefreshesAfterIt) {
    FakeLoginItemService service;
    service.registerFailure = "first";
    LaunchAtLoginController controller(service);
    controller.setEnabled(true);
    service.registerFailure = "second";

    std::vector<std::string> events;
    const Subscription a = controller.errorMessage.observe(
        [&](const std::optional<std::string>& m) { events.push_back("error:" + m.value_or("")); });
    const Subscription b =
        controller.isEnabled.observe([&](bool) { events.push_back("isEnabled"); });
    controller.setEnabled(true);
    EXPECT_EQ(events, (std::vector<std::string>{"error:", "error:second", "isEnabled"}));
}

// With a worker, only the first reading happens in the call; every later call of the service
// runs as worker work, and its answer is published afterwards, in order.
TEST(LaunchAtLoginControllerTest, WithAWorkerTheServiceIsCalledThereAndAnswersInOrder) {
    test_doubles::VirtualExecutor executor;
    FakeLoginItemService service;
    service.registerFailure = "Permission denied";
    LaunchAtLoginController controller(service, executor, executor);
    EXPECT_EQ(service.statusReads, 1);

    std::vector<std::string> events;
    const Subscription a = controller.errorMessage.observe(
        [&](const std::optional<std::string>& m) { events.push_back("error:" + m.value_or("")); });
    const Subscription b =
        controller.isEnabled.observe([&](bool on) { events.push_back(on ? "on" : "off"); });
    events.clear();

    service.currentStatus = LoginItemStatus::enabled;
    controller.refresh();
    controller.setEnabled(true);
    EXPECT_EQ(service.statusReads, 1);
    EXPECT_TRUE(service.calls.empty());
    EXPECT_FALSE(*controller.isEnabled);
    executor.runUntilIdle();
    EXPECT_EQ(service.calls, (std::vector<std::string>{"register"}));
    EXPECT_EQ(events, (std::vector<std::string>{"on", "error:", "error:Permission denied", "on"}));
}

TEST(LaunchAtLoginControllerTest, AnAnswerAfterTheControllerIsGoneIsDropped) {
    test_doubles::VirtualExecutor executor;
    FakeLoginItemService service;
    {
        LaunchAtLoginController controller(service, executor, executor);
        controller.setEnabled(true);
    }
    executor.runUntilIdle();  // the service still runs; nothing publishes into a dead object
    EXPECT_EQ(service.calls, (std::vector<std::string>{"register"}));
}

}  // namespace
}  // namespace pylonix
