#include "apppower/application_power_reader.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "apppower/attribute_processes.h"

namespace pylonix {
namespace {

// The list is re-read into a buffer this many ids larger than the size query reported, so that
// processes started between the two calls still fit.
constexpr std::size_t kSpareProcessSlots = 128;

// The bytes before the first zero byte as UTF-8, invalid sequences replaced by U+FFFD.
std::string decodePath(const char* buffer, std::size_t size) {
    const std::size_t length = strnlen(buffer, size);
    std::string text;
    icu::UnicodeString::fromUTF8(icu::StringPiece(buffer, static_cast<std::int32_t>(length)))
        .toUTF8String(text);
    return text;
}

}  // namespace

ApplicationPowerReader::ApplicationPowerReader(std::shared_ptr<const ProcessTable> processTable,
                                               std::shared_ptr<const PowerReading> powerReading)
    : table_(std::move(processTable)), power_(std::move(powerReading)) {}

TimedPowerSample ApplicationPowerReader::samplePower() const {
    const std::uint64_t uptime = table_->uptimeNanoseconds();
    return {uptime, power_->read()};
}

ProcessEnergyReading ApplicationPowerReader::failed(std::string message) const {
    ProcessEnergyReading reading;
    reading.errorMessage = std::move(message);
    reading.powerSample = samplePower();
    return reading;
}

ApplicationProcessMetadata ApplicationPowerReader::processMetadata(std::int32_t pid) const {
    ApplicationProcessMetadata process;
    process.pid = pid;
    ProcBsdInfo info{};
    if (table_->pidBsdInfo(pid, info) == kProcBsdInfoSize) {
        process.parentPID = static_cast<std::int32_t>(info.pbi_ppid);
    }
    // A fresh zeroed buffer for every process, so nothing of the previous path can leak in.
    std::array<char, kProcPidPathBufferSize> path{};
    if (table_->pidPath(pid, path.data(), static_cast<std::uint32_t>(path.size())) > 0) {
        process.executablePath = decodePath(path.data(), path.size());
    }
    return process;
}

std::optional<ProcessMetadataTable> ApplicationPowerReader::listProcesses(
    const char*& failureMessage) const {
    const std::uint32_t uid = table_->getuid();
    const int neededBytes = table_->listPidsByUser(uid, nullptr, 0);
    if (neededBytes <= 0) {
        failureMessage = kProcessListSizeUnreadableMessage;
        return std::nullopt;
    }
    // Capped so that the buffer's size in bytes stays within what the call can be told.
    constexpr std::size_t kMaxIds = INT_MAX / sizeof(std::int32_t);
    const std::size_t capacity = std::min(
        static_cast<std::size_t>(neededBytes) / sizeof(std::int32_t) + kSpareProcessSlots, kMaxIds);
    std::vector<std::int32_t> pids(capacity, 0);
    const int filledBytes =
        table_->listPidsByUser(uid, pids.data(), static_cast<int>(capacity * sizeof(std::int32_t)));
    if (filledBytes <= 0) {
        failureMessage = kProcessListUnreadableMessage;
        return std::nullopt;
    }
    const std::size_t count =
        std::min(capacity, static_cast<std::size_t>(filledBytes) / sizeof(std::int32_t));

    ProcessMetadataTable metadata;
    metadata.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t pid = pids[i];
        if (pid < 1) continue;
        metadata.insert_or_assign(pid, processMetadata(pid));
    }
    return metadata;
}

ProcessEnergyReading ApplicationPowerReader::sampleEnergy(
    const std::vector<RunningApplicationIdentity>& applications) const {
    const char* failureMessage = nullptr;
    const std::optional<ProcessMetadataTable> metadata = listProcesses(failureMessage);
    if (!metadata) return failed(failureMessage);

    const ProcessAttribution attribution = attributeProcesses(applications, *metadata);
    const std::uint64_t sampledAt = table_->uptimeNanoseconds();

    ProcessEnergyReading reading;
    bool anyEnergy = false;
    for (const auto& [pid, applicationID] : attribution) {
        ++reading.knownProcessCounts[applicationID];
        RusageInfoV6 usage{};
        if (table_->pidRusage(pid, usage) != 0) continue;  // gone, or not readable: known only
        reading.counters.insert_or_assign(
            pid, ProcessEnergyCounter{pid, applicationID, usage.ri_proc_start_abstime,
                                      usage.ri_energy_nj, sampledAt});
        anyEnergy = anyEnergy || usage.ri_energy_nj != 0;
    }

    // Nothing readable: tell "this system has no such counters" from "other processes' counters
    // are not ours to read" by trying this program's own.
    RusageInfoV6 own{};
    if (reading.counters.empty() && !applications.empty()) {
        return failed(table_->pidRusage(table_->getpid(), own) != 0 ? kEnergyUnsupportedMessage
                                                                    : kEnergyNotPermittedMessage);
    }
    if (!anyEnergy) {
        if (table_->pidRusage(table_->getpid(), own) != 0 || own.ri_energy_nj == 0) {
            return failed(table_->energyUnavailableMessage());
        }
    }

    PowerSnapshot snapshot = power_->read();
    const std::uint64_t readAt = table_->uptimeNanoseconds();
    if (readAt <= sampledAt || readAt - sampledAt <= kPowerSamplePairingNanoseconds) {
        reading.powerSample = TimedPowerSample{sampledAt, std::move(snapshot)};
    }
    return reading;
}

}  // namespace pylonix
