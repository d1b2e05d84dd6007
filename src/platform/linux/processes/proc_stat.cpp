#include "platform/linux/processes/proc_stat.h"

#include <charconv>

namespace pylonix::linux_platform {
namespace {

// Splits off the next space-separated field of `text`; empty when none is left.
std::string_view nextField(std::string_view& text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        text = {};
        return {};
    }
    text.remove_prefix(start);
    const std::size_t end = std::min(text.find_first_of(" \n"), text.size());
    const std::string_view field = text.substr(0, end);
    text.remove_prefix(end);
    return field;
}

template <typename Integer>
std::optional<Integer> parseWhole(std::string_view field) {
    Integer value{};
    const auto [stop, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || stop != field.data() + field.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<ProcessStat> parseProcessStat(std::string_view text) {
    const std::size_t open = text.find(" (");
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return std::nullopt;
    }
    ProcessStat stat;
    const auto pid = parseWhole<std::int32_t>(text.substr(0, open));
    if (!pid || *pid < 1) return std::nullopt;
    stat.pid = *pid;
    stat.name.assign(text.substr(open + 2, close - open - 2));

    // Fields from the third (state) on; the numbers are the field positions of proc(5).
    std::string_view rest = text.substr(close + 1);
    constexpr int kParent = 4, kUserTime = 14, kSystemTime = 15, kStartTime = 22;
    std::uint64_t userTime = 0, systemTime = 0;
    for (int field = 3; field <= kStartTime; ++field) {
        const std::string_view value = nextField(rest);
        if (value.empty()) return std::nullopt;
        if (field == kParent) {
            const auto parent = parseWhole<std::int32_t>(value);
            if (!parent || *parent < 0) return std::nullopt;
            stat.parentPID = *parent;
        } else if (field == kUserTime || field == kSystemTime || field == kStartTime) {
            const auto number = parseWhole<std::uint64_t>(value);
            if (!number) return std::nullopt;
            (field == kUserTime     ? userTime
             : field == kSystemTime ? systemTime
                                    : stat.startTime) = *number;
        }
    }
    if (userTime > UINT64_MAX - systemTime) return std::nullopt;
    stat.cpuTicks = userTime + systemTime;
    return stat;
}

std::optional<std::uint64_t> parseTotalCpuTicks(std::string_view text) {
    if (!text.starts_with("cpu ")) return std::nullopt;
    std::string_view rest =
        text.substr(3, text.find('\n') == std::string_view::npos ? std::string_view::npos
                                                                 : text.find('\n') - 3);
    // user nice system idle iowait irq softirq steal [guest guest_nice]
    constexpr int kCountedStates = 8;
    constexpr int kRequiredStates = 4;  // the oldest kernels stop after idle
    std::uint64_t total = 0;
    int states = 0;
    for (; states < kCountedStates; ++states) {
        const std::string_view field = nextField(rest);
        if (field.empty()) break;
        const auto value = parseWhole<std::uint64_t>(field);
        if (!value || *value > UINT64_MAX - total) return std::nullopt;
        total += *value;
    }
    if (states < kRequiredStates) return std::nullopt;
    return total;
}

}  // namespace pylonix::linux_platform
