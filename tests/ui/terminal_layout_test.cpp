#include "ui/terminal_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "balance_builders.h"
#include "snapshot_builders.h"
#include "ui/terminal_text.h"

namespace pylonix {
namespace {

TerminalViewState stateOf(PowerSnapshot snapshot, int width = 48) {
    TerminalViewState state;
    state.panel.snapshot = std::move(snapshot);
    state.panel.timeStyle = {"zh_CN", "UTC"};
    state.width = width;
    return state;
}

std::string textOf(const TerminalViewState& state) {
    return plainTerminalText(terminalFrame(state));
}

std::vector<std::string> linesOf(const TerminalViewState& state) {
    std::vector<std::string> lines;
    for (const TerminalLine& line : terminalFrame(state)) {
        lines.push_back(renderTerminalLine(line, false));
    }
    return lines;
}

ApplicationPowerSnapshot applications(std::vector<ApplicationPowerEntry> entries) {
    ApplicationPowerSnapshot snapshot;
    snapshot.state = ApplicationPowerSnapshot::State::available();
    snapshot.entries = std::move(entries);
    return snapshot;
}

ApplicationPowerEntry entry(std::string name, std::optional<double> watts, std::int64_t measured,
                            std::int64_t known) {
    return {"/usr/share/applications/" + name + ".desktop", std::move(name), watts, measured,
            known};
}

// Seven applications, Chinese and Latin names, one too long for its column.
ApplicationPowerSnapshot sevenApplications() {
    return applications({entry("网易云音乐", 3.456, 4, 4), entry("Firefox", 1.236, 12, 12),
                         entry("微信开发者工具与调试器完整版客户端", 0.5, 2, 5),
                         entry("终端", 0.004, 1, 1), entry("Visual Studio Code", 0.0, 3, 3),
                         entry("日历", 0.0, 1, 1), entry("计算器", std::nullopt, 0, 1)});
}

TEST(TerminalLayoutTest, DischargingReadingWithKeys) {
    TerminalViewState state = stateOf(testing::dischargingSnapshot());
    state.showsKeys = true;
    EXPECT_EQ(textOf(state),
              "电池供电                                     86%\n"
              "整机耗电                                遥测估算\n"
              "12.50 W  当前读数 · 不含给电池充电\n"
              "电池放电                                  12.5 W\n"
              "适配器供电能力                            未接入\n"
              "\n"
              "应用 CPU 功率                           CPU 估算\n"
              "正在采样，约 2 秒后显示…\n"
              "\n"
              "电池与供电详情\n"
              "实际输入                                       —\n"
              "电池电压                                 12.50 V\n"
              "电池电流                                 −1.00 A\n"
              "由电池放电估算，含机内供电损耗\n"
              "\n"
              "更新于 05:46\n"
              "1-4 刷新频率 1 秒 · r 立即刷新 · q 退出 Pylonix\n");

    state.settings.refreshInterval = RefreshInterval::fiveSeconds;
    EXPECT_EQ(linesOf(state).back(), "1-4 刷新频率 5 秒 · r 立即刷新 · q 退出 Pylonix");
    state.width = 30;
    const std::vector<std::string> narrow = linesOf(state);
    ASSERT_GE(narrow.size(), 2u);
    EXPECT_EQ(narrow[narrow.size() - 2], "1-4 刷新频率 5 秒 · r 立即刷新");
    EXPECT_EQ(narrow.back(), "q 退出 Pylonix");
}

TEST(TerminalLayoutTest, FailedReadingShowsTheErrorInsteadOfTiles) {
    PowerSnapshot snapshot;
    snapshot.timestamp = wallClockFromSeconds(1765000000.0);
    snapshot.errorMessage = "无法读取电池数据。";
    const std::vector<std::string> lines = linesOf(stateOf(snapshot));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "无法读取");
    EXPECT_EQ(lines[2], "— W  整机耗电暂不可用");
    EXPECT_EQ(lines[3], "无法读取电池数据。");
    EXPECT_EQ(lines[4], "") << "no tiles and no second notice under the error";
    const std::vector<TerminalLine> frame = terminalFrame(stateOf(snapshot));
    EXPECT_EQ(renderTerminalLine(frame[0], true), "\x1b[31;1m无法读取\x1b[0m");
    EXPECT_EQ(renderTerminalLine(frame[3], true), "\x1b[31m无法读取电池数据。\x1b[0m");
}

TEST(TerminalLayoutTest, ColoursFollowTheStatusAndOnlyWhenAsked) {
    const std::vector<TerminalLine> frame = terminalFrame(stateOf(testing::chargingSnapshot()));
    EXPECT_EQ(renderTerminalLine(frame[0], true),
              "\x1b[32;1m充电中\x1b[0m" + std::string(48 - 6 - 3, ' ') + "\x1b[1m42%\x1b[0m");
    EXPECT_EQ(renderTerminalLine(frame[2], true),
              "\x1b[32;1m15.00 W\x1b[0m  \x1b[2m当前读数 · 不含给电池充电\x1b[0m");
    EXPECT_EQ(renderTerminalLine(frame[4], false),
              "适配器供电能力                            96.0 W");
    EXPECT_EQ(renderTerminalLine(frame[4], true).find("\x1b[35;1m96.0 W"), 57u)
        << "the adapter's value in indigo";
    for (const TerminalLine& line : frame) {
        EXPECT_EQ(renderTerminalLine(line, false).find('\x1b'), std::string::npos);
    }
}

TEST(TerminalLayoutTest, BreakdownOnlyOnceABalanceExists) {
    const PowerSnapshot snapshot = testing::dischargingSnapshot();
    TerminalViewState state = stateOf(snapshot);
    EXPECT_EQ(textOf(state).find("耗电分项"), std::string::npos) << "still collecting";

    state.panel.applicationPower.balance =
        testing::availableBalance(12.3456, 3.3344, snapshot.timestamp);
    std::vector<std::string> lines = linesOf(state);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[2], "12.35 W  约 2 秒平均 · 不含给电池充电");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "耗电分项                            同一时段估算");
    EXPECT_EQ(lines[7], "● 应用 CPU · 可读取部分                   3.33 W");
    EXPECT_EQ(lines[8], "● 其他／未归属                            9.02 W");
    EXPECT_EQ(lines[9], "合计 · 与上方整机耗电一致                12.35 W");

    state.panel.applicationPower.balance =
        testing::messageBalance(PowerBalanceSnapshot::State::inconsistent(
            "CPU 估算高于整机读数，暂不计算差额；未调整应用原始数值。"));
    const std::vector<TerminalLine> frame = terminalFrame(state);
    EXPECT_EQ(renderTerminalLine(frame[8], false),
              "● 其他／未归属                                 —");
    EXPECT_EQ(renderTerminalLine(frame[9], true),
              "\x1b[33mCPU 估算高于整机读数，暂不计算差额；未调整应用原\x1b[0m")
        << "the message wraps at 48 columns, in orange";
    EXPECT_EQ(renderTerminalLine(frame[10], false), "始数值。");
}

TEST(TerminalLayoutTest, ApplicationRowsLineUpWithWideCharacters) {
    TerminalViewState state = stateOf(testing::dischargingSnapshot());
    state.panel.applicationPower = sevenApplications();
    state.showsKeys = true;
    const std::vector<std::string> lines = linesOf(state);
    const auto header =
        std::find(lines.begin(), lines.end(), "应用 CPU 功率                           CPU 估算");
    ASSERT_NE(header, lines.end());
    const std::vector<std::string> section(header + 1, header + 7);
    EXPECT_EQ(section, (std::vector<std::string>{
                           "网易云音乐       已合并 4 个进程          3.46 W",
                           "Firefox          已合并 12 个进程         1.24 W",
                           "微信开…客户端    部分统计 · 2/5 个进程    0.50 W",
                           "终端             最近采样               < 0.01 W",
                           "Visual …io Code  已合并 3 个进程          0.00 W",
                           "a 查看全部 7 个应用",
                       }));
    for (const std::string& line : lines) EXPECT_LE(displayWidth(line), 48) << line;

    state.showsAllApplications = true;
    const std::string expanded = textOf(state);
    EXPECT_NE(expanded.find("计算器           等待可用数据                  —\n"),
              std::string::npos)
        << expanded;
    EXPECT_NE(expanded.find("a 收起列表"), std::string::npos);
}

TEST(TerminalLayoutTest, NarrowTerminalPutsDetailsUnderNames) {
    TerminalViewState state = stateOf(testing::dischargingSnapshot(), 30);
    state.panel.applicationPower = sevenApplications();
    const std::vector<std::string> lines = linesOf(state);
    const auto first = std::find(lines.begin(), lines.end(), "网易云音乐              3.46 W");
    ASSERT_NE(first, lines.end()) << plainTerminalText(terminalFrame(state));
    EXPECT_EQ(*(first + 1), "  已合并 4 个进程");
    EXPECT_EQ(*(first + 4), "微信开发者…整版客户端   0.50 W");
    for (const std::string& line : lines) EXPECT_LE(displayWidth(line), 30) << line;
}

TEST(TerminalLayoutTest, UnavailableApplicationsShowTheirMessage) {
    TerminalViewState state = stateOf(testing::dischargingSnapshot());
    state.panel.applicationPower.state =
        ApplicationPowerSnapshot::State::unavailable("无法读取进程列表。");
    const std::string text = textOf(state);
    EXPECT_NE(text.find("应用 CPU 功率                           CPU 估算\n无法读取进程列表。\n"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace pylonix
