#include "app/command_line.h"

#include <gtest/gtest.h>

#include "common/application_info.h"

namespace pylonix {
namespace {

TEST(CommandLineTest, VersionAndHelpWinOverRunningAndTheFirstOneCounts) {
    using Arguments = std::vector<std::string_view>;
    EXPECT_EQ(earlyAction({}), EarlyAction::run);
    EXPECT_EQ(earlyAction(Arguments{"--terminal", "--count", "2"}), EarlyAction::run);
    EXPECT_EQ(earlyAction(Arguments{"--terminal", "--version"}), EarlyAction::printVersion);
    EXPECT_EQ(earlyAction(Arguments{"-h", "--version"}), EarlyAction::printHelp);
    EXPECT_EQ(earlyAction(Arguments{"--help"}), EarlyAction::printHelp);
    EXPECT_EQ(earlyAction(Arguments{"--", "--help"}), EarlyAction::run);
    EXPECT_EQ(earlyAction(Arguments{"--versions"}), EarlyAction::run);
}

TEST(CommandLineTest, TheHelpNamesEveryOptionAndEnvironmentVariable) {
    EXPECT_EQ(versionText(), std::string("pylonix ") + kApplicationVersion + "\n");
    const std::string help = helpText();
    for (const char* name :
         {"--terminal", "--count", "--version", "--help", "PYLONIX_POWER_SUPPLY_ROOT",
          "PYLONIX_TRAY_LABELS", "NO_COLOR", "XDG_CONFIG_HOME", kApplicationId, kEnergyGroup}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace pylonix
