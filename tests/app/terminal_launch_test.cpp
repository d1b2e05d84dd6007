#include "app/terminal/terminal_launch.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/terminal/screen_update.h"

namespace pylonix {
namespace {

using Kind = LaunchChoice::Kind;

EnvironmentLookup environmentOf(std::map<std::string, std::string> variables) {
    return [variables](const char* name) -> std::optional<std::string> {
        const auto found = variables.find(name);
        if (found == variables.end()) return std::nullopt;
        return found->second;
    };
}

LaunchChoice choose(std::vector<std::string_view> arguments,
                    std::map<std::string, std::string> variables, bool outputIsTerminal = true) {
    return chooseLaunch(arguments, environmentOf(std::move(variables)), outputIsTerminal);
}

TEST(TerminalLaunchTest, ADisplayOrAnExplicitPlatformStartsTheDesktop) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const LaunchChoice choice = choose({}, {{name, "x"}}, false);
        EXPECT_EQ(choice.kind, Kind::desktop) << name;
        EXPECT_FALSE(choice.message) << name;
    }
    EXPECT_EQ(choose({"--unknown-qt-option"}, {{"DISPLAY", ":0"}}).kind, Kind::desktop)
        << "other arguments are the desktop start-up's business";
}

TEST(TerminalLaunchTest, NoDisplayShowsTheTerminalViewOnlyOnATerminal) {
    const LaunchChoice onTerminal = choose({}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    EXPECT_EQ(onTerminal.kind, Kind::terminal) << "empty variables name no display";
    ASSERT_TRUE(onTerminal.message);
    EXPECT_EQ(onTerminal.message->find('\n'), std::string::npos);
    EXPECT_NE(onTerminal.message->find("DISPLAY"), std::string::npos);
    EXPECT_FALSE(onTerminal.count);

    const LaunchChoice piped = choose({}, {}, false);
    EXPECT_EQ(piped.kind, Kind::refused);
    ASSERT_TRUE(piped.message);
    EXPECT_NE(piped.message->find("--terminal"), std::string::npos) << *piped.message;
}

TEST(TerminalLaunchTest, TerminalOptionWinsOverADisplayAndTakesACount) {
    LaunchChoice choice = choose({"--terminal"}, {{"DISPLAY", ":0"}}, false);
    EXPECT_EQ(choice.kind, Kind::terminal);
    EXPECT_FALSE(choice.message) << "asked for: nothing to explain";
    choice = choose({"--count", "3", "--terminal"}, {}, false);
    EXPECT_EQ(choice.kind, Kind::terminal);
    EXPECT_EQ(choice.count, 3);
}

TEST(TerminalLaunchTest, BadCountsAreRefusedWithOneLine) {
    for (const auto& arguments : std::vector<std::vector<std::string_view>>{
             {"--terminal", "--count"},
             {"--terminal", "--count", "0"},
             {"--terminal", "--count", "-2"},
             {"--terminal", "--count", "2x"},
             {"--terminal", "--count", ""},
             {"--terminal", "--count", "99999999999999999999"},
             {"--count", "2"}}) {
        const LaunchChoice choice = choose(arguments, {{"DISPLAY", ":0"}});
        EXPECT_EQ(choice.kind, Kind::refused) << arguments.back();
        ASSERT_TRUE(choice.message);
        EXPECT_TRUE(choice.message->starts_with("pylonix: ")) << *choice.message;
        EXPECT_EQ(choice.message->find('\n'), std::string::npos);
    }
}

TEST(ScreenUpdateTest, RewritesOnlyTheLinesThatChanged) {
    EXPECT_EQ(screenUpdate({"a", "b"}, {"a", "b"}), "") << "nothing changed, nothing written";
    EXPECT_EQ(screenUpdate({}, {"a", "b"}),
              "\x1b[?2026h\x1b[1;1Ha\x1b[K\x1b[2;1Hb\x1b[K\x1b[?2026l");
    EXPECT_EQ(screenUpdate({"a", "b", "c"}, {"a", "B", "c"}),
              "\x1b[?2026h\x1b[2;1HB\x1b[K\x1b[?2026l");
    EXPECT_EQ(screenUpdate({"a", "b", "c"}, {"a"}), "\x1b[?2026h\x1b[2;1H\x1b[J\x1b[?2026l")
        << "lines no longer used are cleared";
    EXPECT_EQ(screenUpdate({"a"}, {"a", "", "c"}),
              "\x1b[?2026h\x1b[2;1H\x1b[K\x1b[3;1Hc\x1b[K\x1b[?2026l")
        << "a new empty line still clears what stood there";
}

}  // namespace
}  // namespace pylonix
