#include "app/pylonix_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "common/in_memory_preferences_store.h"
#include "platform/testing/recording_power_reader.h"
#include "platform/testing/virtual_executor.h"

namespace pylonix {
namespace {

using namespace std::chrono_literals;
using pylonix::test_doubles::RecordingPowerReader;
using pylonix::test_doubles::VirtualExecutor;
using ::testing::ElementsAre;

EnvironmentLookup fakeEnvironment(std::map<std::string, std::string> variables) {
    return [variables](const char* name) -> std::optional<std::string> {
        const auto found = variables.find(name);
        if (found == variables.end()) return std::nullopt;
        return found->second;
    };
}

TEST(PylonixAppTest, StartUpReadsTwiceAtOnceThenOnceAnIntervalLater) {
    VirtualExecutor executor;
    InMemoryPreferencesStore preferences;
    preferences.writeDouble(kRefreshIntervalPreferenceKey, 0.5);
    auto reader = std::make_unique<RecordingPowerReader>(executor);
    const auto readTimes = reader->readTimes();

    const PylonixApp app({executor, preferences, std::move(reader), fakeEnvironment({})});
    EXPECT_THAT(*readTimes, ElementsAre(0ns, 0ns));
    EXPECT_TRUE(app.monitor()->isRunning());
    EXPECT_EQ(app.monitor()->refreshInterval(), RefreshInterval::halfSecond);
    executor.advanceBy(500ms);
    EXPECT_THAT(*readTimes, ElementsAre(0ns, 0ns, 500ms));
    EXPECT_EQ(preferences.writeCount(), 1);  // only the test's own
}

TEST(PylonixAppTest, ATestHostIsAnyValueOfTheVariableEvenAnEmptyOne) {
    VirtualExecutor executor;
    InMemoryPreferencesStore preferences;
    const auto makeApp = [&](EnvironmentLookup environment) {
        return std::make_unique<PylonixApp>(PylonixApp::Platform{
            executor, preferences, std::make_unique<RecordingPowerReader>(executor),
            std::move(environment)});
    };
    EXPECT_FALSE(makeApp(fakeEnvironment({}))->isRunningTests());
    EXPECT_FALSE(makeApp(fakeEnvironment({{"XCTestConfiguration", "x"}}))->isRunningTests());
    EXPECT_TRUE(makeApp(fakeEnvironment({{kTestHostEnvironmentVariable, ""}}))->isRunningTests());
    const auto underTests = makeApp(fakeEnvironment({{kTestHostEnvironmentVariable, "/a"}}));
    EXPECT_TRUE(underTests->isRunningTests());
    EXPECT_TRUE(underTests->monitor()->isRunning());  // the monitor starts all the same
}

TEST(PylonixAppTest, TheProcessEnvironmentTellsAnEmptyVariableFromAMissingOne) {
    ::unsetenv("PYLONIX_TEST_VARIABLE");
    EXPECT_EQ(processEnvironmentVariable("PYLONIX_TEST_VARIABLE"), std::nullopt);
    ::setenv("PYLONIX_TEST_VARIABLE", "", 1);
    EXPECT_EQ(processEnvironmentVariable("PYLONIX_TEST_VARIABLE"), "");
    ::unsetenv("PYLONIX_TEST_VARIABLE");
}

}  // namespace
}  // namespace pylonix
