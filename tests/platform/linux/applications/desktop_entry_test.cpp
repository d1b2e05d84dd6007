#include "platform/linux/applications/desktop_entry.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

using Args = std::vector<std::string>;

TEST(DesktopEntryTest, TheBestLocalizedNameWinsInAnyOrder) {
    constexpr std::string_view kEntry =
        "[Desktop Entry]\n"
        "Name[zh]=通用\n"
        "Name=Terminal\n"
        "Name[zh_CN@cjk]=终端（修饰）\n"
        "Name[zh_CN]=终端\n"
        "Name[de]=Terminal (de)\n"
        "Type=Application\n";
    EXPECT_EQ(parseDesktopEntry(kEntry, "zh_CN.UTF-8")->name, "终端");
    EXPECT_EQ(parseDesktopEntry(kEntry, "zh_CN.UTF-8@cjk")->name, "终端（修饰）");
    EXPECT_EQ(parseDesktopEntry(kEntry, "zh_TW.UTF-8")->name, "通用");
    EXPECT_EQ(parseDesktopEntry(kEntry, "fr_FR.UTF-8")->name, "Terminal");
    EXPECT_EQ(parseDesktopEntry(kEntry, "C")->name, "Terminal");
    EXPECT_EQ(parseDesktopEntry(kEntry, "")->name, "Terminal");
}

TEST(DesktopEntryTest, OnlyTheMainGroupCountsAndFlagsAreRead) {
    const auto entry = parseDesktopEntry(
        "# comment\n[Other]\nName=Wrong\n\n[Desktop Entry]\n  Name = Files\\sand\\\\more  \n"
        "Type=Application\nNoDisplay=true\nTerminal=false\nIcon=\nTryExec=nautilus\n"
        "Exec=nautilus --new-window %U\nno equals sign here\n"
        "[Desktop Action new]\nName=New\nHidden=true\nExec=other\n",
        "C");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "Files and\\more");
    EXPECT_TRUE(entry->noDisplay);
    EXPECT_FALSE(entry->hidden);
    EXPECT_FALSE(entry->terminal);
    EXPECT_EQ(entry->icon, std::nullopt);
    EXPECT_EQ(entry->tryExec, "nautilus");
    EXPECT_EQ(entry->exec, (Args{"nautilus", "--new-window"}));
    EXPECT_TRUE(entry->isShownApplication());

    EXPECT_FALSE(parseDesktopEntry("Name=x\nType=Application\n", "C"));
    EXPECT_FALSE(
        parseDesktopEntry("[Desktop Entry]\nType=Link\nName=x\n", "C")->isShownApplication());
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nType=Application\nName=x\nHidden=true\n", "C")
                     ->isShownApplication());
    EXPECT_FALSE(
        parseDesktopEntry("[Desktop Entry]\nType=Application\n", "C")->isShownApplication());
}

TEST(DesktopEntryTest, ExecQuotingEscapesAndFieldCodes) {
    EXPECT_EQ(splitExecValue(R"("/opt/fake editor/bin/app" --title "a \"b\" \$c \\d" %F)"),
              (Args{"/opt/fake editor/bin/app", "--title", R"(a "b" $c \d)"}));
    EXPECT_EQ(splitExecValue("app --file=%f 100%% %i %c %k"), (Args{"app", "--file=", "100%"}));
    EXPECT_EQ(splitExecValue("  app\t\"\"  "), (Args{"app", ""}));
    EXPECT_EQ(splitExecValue(""), Args{});
    EXPECT_FALSE(splitExecValue("app \"unterminated"));
    // The string escapes come first: "\\\\" in the file is one backslash in the quoted value.
    EXPECT_EQ(splitExecValue(unescapeDesktopValue(R"("a\\\\b")")), (Args{R"(a\b)"}));
    EXPECT_EQ(unescapeDesktopValue(R"(a\sb\tc\nd\re\\f\qg\)"), "a b\tc\nd\re\\f\\qg\\");
}

}  // namespace
}  // namespace pylonix::linux_platform
