#include "ui/terminal_text.h"

#include <gtest/gtest.h>

namespace pylonix {
namespace {

TEST(TerminalTextTest, DisplayWidthCountsWideCharactersTwice) {
    EXPECT_EQ(displayWidth(""), 0);
    EXPECT_EQ(displayWidth("12.35 W"), 7);
    EXPECT_EQ(displayWidth("电池供电"), 8);
    EXPECT_EQ(displayWidth("其他／未归属"), 12) << "full-width solidus";
    EXPECT_EQ(displayWidth("正在采样，约 2 秒后显示…"), 24) << "full-width comma, narrow ellipsis";
    EXPECT_EQ(displayWidth("— · −"), 5) << "ambiguous characters count one column";
    EXPECT_EQ(displayWidth("e\xcc\x81"), 1) << "a combining accent takes no column";
    EXPECT_EQ(displayWidth("\xf0\x9f\x94\x8b"), 2) << "emoji are wide";
    EXPECT_EQ(displayWidth("a\xff\xfe"), 3) << "invalid bytes count one each";
}

TEST(TerminalTextTest, TruncateMiddleKeepsBothEndsWithinTheWidth) {
    EXPECT_EQ(truncateMiddle("Firefox", 7), "Firefox");
    EXPECT_EQ(truncateMiddle("Visual Studio Code", 9), "Visu…Code");
    EXPECT_EQ(truncateMiddle("微信开发者工具", 9), "微信…工具") << "never splits a wide character";
    EXPECT_EQ(displayWidth(truncateMiddle("微信开发者工具", 10)), 9);
    EXPECT_EQ(truncateMiddle("abc", 0), "");
    EXPECT_EQ(prefixOfWidth("电池a", 3), "电");
}

TEST(TerminalTextTest, WrapBreaksChineseAnywhereAndLatinAtSpaces) {
    EXPECT_EQ(wrapToWidth("由电池放电估算，含机内供电损耗", 10),
              (std::vector<std::string>{"由电池放电", "估算，含机", "内供电损耗"}));
    EXPECT_EQ(wrapToWidth("energy readings are not available here", 16),
              (std::vector<std::string>{"energy readings", "are not", "available here"}));
    EXPECT_EQ(wrapToWidth("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
    EXPECT_EQ(wrapToWidth("", 10), (std::vector<std::string>{""}));
    EXPECT_EQ(wrapToWidth("电池", 1), (std::vector<std::string>{"电", "池"}))
        << "a wide character still gets a line of its own";
}

}  // namespace
}  // namespace pylonix
