#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "apppower/process_table.h"
#include "power/power_reading.h"

namespace pylonix::testing_support {

// An in-memory process table with a manual uptime clock.
class FakeProcessTable final : public ProcessTable {
public:
    struct Process {
        std::uint32_t parent = 1;
        int bsdInfoResult = kProcBsdInfoSize;
        std::optional<std::string> path;    // raw bytes; absent: the path call fails
        std::optional<RusageInfoV6> usage;  // absent: the usage call fails
    };

    std::uint32_t uid = 501;
    std::int32_t ownPid = 77;
    std::optional<RusageInfoV6> ownUsage = RusageInfoV6{1, 5};
    std::map<std::int32_t, Process> processes;  // listed in id order
    std::vector<std::int32_t> extraListedIds;   // listed, but not counted by the size query
    std::optional<int> sizeQueryResult;         // overrides the size query's answer
    std::optional<int> listResult;              // overrides the list call's answer
    mutable std::uint64_t uptime = 5'000'000'000;
    mutable int listCalls = 0;
    mutable int lastListBufferBytes = 0;

    std::uint32_t getuid() const override { return uid; }
    std::int32_t getpid() const override { return ownPid; }

    int listPidsByUser(std::uint32_t user, std::int32_t* buffer,
                       int bufferSizeBytes) const override {
        ++listCalls;
        if (user != uid) return 0;
        if (buffer == nullptr) {
            return sizeQueryResult.value_or(
                static_cast<int>(processes.size() * sizeof(std::int32_t)));
        }
        lastListBufferBytes = bufferSizeBytes;
        if (listResult) return *listResult;
        std::vector<std::int32_t> ids;
        for (const auto& entry : processes) ids.push_back(entry.first);
        ids.insert(ids.end(), extraListedIds.begin(), extraListedIds.end());
        const std::size_t fits =
            std::min(ids.size(), static_cast<std::size_t>(bufferSizeBytes) / sizeof(std::int32_t));
        std::copy_n(ids.begin(), fits, buffer);
        return static_cast<int>(fits * sizeof(std::int32_t));
    }

    int pidBsdInfo(std::int32_t pid, ProcBsdInfo& info) const override {
        const auto found = processes.find(pid);
        if (found == processes.end()) return 0;
        info.pbi_ppid = found->second.parent;
        return found->second.bsdInfoResult;
    }

    int pidPath(std::int32_t pid, char* buffer, std::uint32_t size) const override {
        const auto found = processes.find(pid);
        if (found == processes.end() || !found->second.path) return 0;
        const std::string& path = *found->second.path;
        const std::size_t length = std::min<std::size_t>(path.size(), size);
        std::memcpy(buffer, path.data(), length);
        return static_cast<int>(length);
    }

    int pidRusage(std::int32_t pid, RusageInfoV6& info) const override {
        if (pid == ownPid) {
            if (!ownUsage) return -1;
            info = *ownUsage;
            return 0;
        }
        const auto found = processes.find(pid);
        if (found == processes.end() || !found->second.usage) return -1;
        info = *found->second.usage;
        return 0;
    }

    std::uint64_t uptimeNanoseconds() const override { return uptime; }
};

// A power reading that takes `readNanoseconds` of the table's clock.
class FakePowerReading final : public PowerReading {
public:
    explicit FakePowerReading(const FakeProcessTable& table) : table_(table) {}

    PowerSnapshot read() const override {
        ++reads;
        table_.uptime += readNanoseconds;
        return snapshot;
    }

    PowerSnapshot snapshot = [] {
        PowerSnapshot s;
        s.batteryPresent = true;
        s.systemPower.watts = 9.5;
        s.systemPower.source = SystemPowerReading::Source::batteryDischarge;
        return s;
    }();
    std::uint64_t readNanoseconds = 20'000'000;
    mutable int reads = 0;

private:
    const FakeProcessTable& table_;
};

}  // namespace pylonix::testing_support
