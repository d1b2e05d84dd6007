#include "platform/linux/updates/feed_update_driver.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>

#include "common/application_info.h"
#include "loopback_http_server.h"
#include "platform/linux/updates/platform_update_driver.h"
#include "services/software_update_controller.h"

namespace pylonix::linux_platform {
namespace {

using testing::appcast;

constexpr int kMinute = 60 * 1000;
constexpr int kHour = 60 * kMinute;
using testing::LoopbackHttpServer;

// Records what the driver asks to present, and lets the test dismiss it.
struct PresenterRecord {
    std::vector<UpdateCheckResult> presented;
    std::function<void()> dismiss;
};

class FakePresenter : public UpdatePresenting {
  public:
    explicit FakePresenter(std::shared_ptr<PresenterRecord> record) : record_(std::move(record)) {}
    void present(const UpdateCheckResult& result, std::function<void()> onDismissed) override {
        record_->presented.push_back(result);
        record_->dismiss = std::move(onDismissed);
    }

  private:
    std::shared_ptr<PresenterRecord> record_;
};

// Shares the preferences with the test while the driver owns them.
class SharedPreferences : public UpdatePreferences {
  public:
    explicit SharedPreferences(std::shared_ptr<InMemoryUpdatePreferences> store)
        : store_(std::move(store)) {}
    bool automaticallyChecksForUpdates() const override {
        return store_->automaticallyChecksForUpdates();
    }
    void setAutomaticallyChecksForUpdates(bool enabled) override {
        store_->setAutomaticallyChecksForUpdates(enabled);
    }
    std::optional<WallClockTime> lastCheckDate() const override { return store_->lastCheckDate(); }
    void setLastCheckDate(WallClockTime date) override { store_->setLastCheckDate(date); }

  private:
    std::shared_ptr<InMemoryUpdatePreferences> store_;
};

class FeedUpdateDriverTest : public ::testing::Test {
  protected:
    std::unique_ptr<FeedUpdateDriver> makeDriver(std::string feedURL) {
        FeedUpdateDriver::Configuration configuration;
        configuration.feedURL = std::move(feedURL);
        configuration.currentVersion = "1.4";
        configuration.now = [this] { return now; };
        auto driver = std::make_unique<FeedUpdateDriver>(
            std::move(configuration), std::make_unique<SharedPreferences>(preferences),
            std::make_unique<FakePresenter>(presenter));
        driver->setOnStateChange([this, raw = driver.get()] { states.push_back(raw->state()); });
        return driver;
    }

    // Runs the event loop until a check has finished, which dates it `now`; tests move `now`
    // on before each further check. The guard only keeps a broken driver from hanging the
    // suite.
    void waitForCheck() {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (preferences->lastCheckDate() == now) loop.quit();
        });
        poll.start(5);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(preferences->lastCheckDate(), now) << "the check did not finish";
    }

    std::string feed() const { return server.url().toString().toStdString(); }

    LoopbackHttpServer server;
    std::shared_ptr<InMemoryUpdatePreferences> preferences =
        std::make_shared<InMemoryUpdatePreferences>();
    std::shared_ptr<PresenterRecord> presenter = std::make_shared<PresenterRecord>();
    std::vector<SoftwareUpdateState> states;
    WallClockTime now = wallClockFromSeconds(1765000000);
};

TEST_F(FeedUpdateDriverTest, StartNeedsAnAcceptableFeedAddress) {
    auto missing = makeDriver("");
    const auto error = missing->start();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->localizedDescription, "此版本在构建时没有设置更新源地址。");
    EXPECT_FALSE(missing->state().canCheckForUpdates);

    auto plain = makeDriver("http://updates.example.org/feed.xml");
    ASSERT_TRUE(plain->start());
    EXPECT_FALSE(plain->state().canCheckForUpdates);
    EXPECT_EQ(server.requestCount, 0);
}

TEST_F(FeedUpdateDriverTest, AScheduledCheckOnlyAnnouncesANewerVersion) {
    server.response.body = appcast("2.1.0", "2.1", "https://example.org/2.1");
    auto driver = makeDriver(feed());
    ASSERT_EQ(driver->start(), std::nullopt);  // never checked: the first check is due now
    EXPECT_LT(driver->scheduledCheckDelayMilliseconds().value_or(kMinute), kMinute);
    waitForCheck();

    const SoftwareUpdateState state = driver->state();
    EXPECT_EQ(state.availableVersion, "2.1");
    EXPECT_EQ(state.lastCheckDate, now);
    EXPECT_TRUE(state.canCheckForUpdates);
    EXPECT_TRUE(presenter->presented.empty());  // no window for a scheduled check
    ASSERT_GE(states.size(), 2u);
    EXPECT_FALSE(states.front().canCheckForUpdates);  // while the check ran
    EXPECT_EQ(preferences->lastCheckDate(), now);
    EXPECT_NEAR(driver->scheduledCheckDelayMilliseconds().value_or(0), 24 * kHour, kMinute);
}

TEST_F(FeedUpdateDriverTest, AUserCheckIsPresentedAndEndsTheSessionWhenDismissed) {
    preferences->setLastCheckDate(now - std::chrono::hours(2));
    server.response.body = appcast("2.1.0", "2.1", "https://example.org/2.1");
    auto driver = makeDriver(feed());
    ASSERT_EQ(driver->start(), std::nullopt);
    EXPECT_EQ(server.requestCount, 0);
    driver->checkForUpdates();
    EXPECT_FALSE(driver->state().canCheckForUpdates);
    driver->checkForUpdates();  // ignored while the check runs
    waitForCheck();
    EXPECT_EQ(server.requestCount, 1);

    ASSERT_EQ(presenter->presented.size(), 1u);
    EXPECT_EQ(presenter->presented[0].availableVersion, "2.1");
    EXPECT_EQ(presenter->presented[0].downloadURL, "https://example.org/2.1");
    EXPECT_EQ(driver->state().availableVersion, "2.1");
    EXPECT_FALSE(driver->state().canCheckForUpdates);  // while the result is shown

    presenter->dismiss();
    EXPECT_FALSE(driver->state().availableVersion);
    EXPECT_TRUE(driver->state().canCheckForUpdates);
    EXPECT_EQ(states.back(), driver->state());

    // Up to date, and a failure, are presented too.
    now += std::chrono::seconds(1);
    server.response.body = appcast("1.4", "1.4", "https://example.org/1.4");
    driver->checkForUpdates();
    waitForCheck();
    ASSERT_EQ(presenter->presented.size(), 2u);
    EXPECT_EQ(presenter->presented[1],
              (UpdateCheckResult{std::nullopt, std::nullopt, "1.4", std::nullopt}));
    presenter->dismiss();

    now += std::chrono::seconds(1);
    server.response = {500, "Internal Server Error", "", {}, false, true};
    driver->checkForUpdates();
    waitForCheck();
    ASSERT_EQ(presenter->presented.size(), 3u);
    EXPECT_EQ(presenter->presented[2].errorMessage,
              "更新服务器返回错误：HTTP 500 Internal Server Error");
}

TEST_F(FeedUpdateDriverTest, TheSwitchIsKeptInThePreferencesAndStopsTheSchedule) {
    preferences->setLastCheckDate(now - std::chrono::hours(1));
    auto driver = makeDriver(feed());
    ASSERT_EQ(driver->start(), std::nullopt);
    EXPECT_TRUE(driver->state().automaticallyChecksForUpdates);
    EXPECT_NEAR(driver->scheduledCheckDelayMilliseconds().value_or(0), 23 * kHour, kMinute);

    driver->setAutomaticallyChecksForUpdates(false);
    EXPECT_FALSE(preferences->automaticallyChecksForUpdates());
    EXPECT_FALSE(driver->state().automaticallyChecksForUpdates);
    EXPECT_EQ(driver->scheduledCheckDelayMilliseconds(), std::nullopt);
    ASSERT_FALSE(states.empty());
    EXPECT_FALSE(states.back().automaticallyChecksForUpdates);

    // Off at the next start too: nothing is scheduled.
    driver.reset();
    auto next = makeDriver(feed());
    ASSERT_EQ(next->start(), std::nullopt);
    EXPECT_FALSE(next->state().automaticallyChecksForUpdates);
    EXPECT_EQ(next->scheduledCheckDelayMilliseconds(), std::nullopt);
}

TEST_F(FeedUpdateDriverTest, WorksBehindTheController) {
    std::vector<std::string> log;
    SoftwareUpdateController missing(makeDriver(""), true,
                                     [&](std::string_view line) { log.emplace_back(line); });
    EXPECT_EQ(log, (std::vector<std::string>{
                       "Pylonix updater could not start: 此版本在构建时没有设置更新源地址。"}));

    preferences->setLastCheckDate(now - std::chrono::hours(1));
    server.response.body = appcast("2.0", "2.0", "https://example.org/2.0");
    SoftwareUpdateController controller(makeDriver(feed()), true, {});
    EXPECT_TRUE(controller.state->canCheckForUpdates);
    controller.checkForUpdates();
    EXPECT_FALSE(controller.state->canCheckForUpdates);
    waitForCheck();
    EXPECT_EQ(controller.state->availableVersion, "2.0");
    EXPECT_EQ(controller.state->lastCheckDate, now);
}

}  // namespace
}  // namespace pylonix::linux_platform

namespace pylonix::linux_platform {
namespace {

TEST(PlatformUpdateDriverTest, UsesTheFeedAddressOfTheBuild) {
    QStandardPaths::setTestModeEnabled(true);  // never the user's own settings
    const auto driver = makePlatformUpdateDriver();
    const auto error = driver->start();
    if (std::string_view(kUpdateFeedURL).empty()) {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->localizedDescription, "此版本在构建时没有设置更新源地址。");
    } else {
        EXPECT_EQ(error, std::nullopt) << error->localizedDescription;
    }
    QStandardPaths::setTestModeEnabled(false);
}

}  // namespace
}  // namespace pylonix::linux_platform
