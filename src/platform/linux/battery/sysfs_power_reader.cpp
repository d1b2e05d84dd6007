#include "platform/linux/battery/sysfs_power_reader.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/battery/power_supply_record.h"
#include "platform/linux/files/outside_file.h"
#include "power/iokit_power_reader.h"
#include "power/make_snapshot.h"

namespace pylonix::linux_platform {
namespace {

struct FolderScan {
    std::vector<PowerSupplyNode> nodes;
    bool complete = true;  // false when the folder or one of its nodes could not be read
};

// Entries that cannot be a supply node: the folder itself, its parent, and files of any kind.
// Nodes are symbolic links in sysfs and folders in fixture trees.
bool mayBeNode(const dirent& entry) {
    const std::string_view name = entry.d_name;
    if (name == "." || name == "..") return false;
    return entry.d_type == DT_DIR || entry.d_type == DT_LNK || entry.d_type == DT_UNKNOWN;
}

// One node, read relative to the open folder: its uevent holds every attribute in one read.
// Older kernels leave the type out of it, and a node without a readable uevent is read file
// by file. Nothing when no file of the node could be read at all.
std::optional<PowerSupplyNode> readNode(int folder, std::string_view name) {
    PowerSupplyNode node;
    node.name = name;
    std::string path = node.name + "/uevent";
    const std::size_t nameLength = node.name.size() + 1;
    const auto uevent = readOutsideFileAt(folder, path.c_str());
    bool anyRead = uevent.has_value();
    if (uevent) parseUevent(*uevent, node);
    for (const std::string_view key : kRecordAttributes) {
        if (node.attribute(key) != nullptr || (uevent && key != "type")) continue;
        path.replace(nameLength, std::string::npos, key);
        const auto value = readOutsideFileAt(folder, path.c_str());
        if (!value) continue;
        anyRead = true;
        const std::string_view trimmed = trimSpace(*value);
        if (!trimmed.empty()) node.attributes.emplace(key, trimmed);
    }
    if (!anyRead) return std::nullopt;
    return node;
}

// Every node of the folder, in name order. A folder that does not exist holds no nodes.
FolderScan scanFolder(const std::filesystem::path& root) {
    FolderScan scan;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(root.c_str()), ::closedir);
    if (!folder) {
        scan.complete = errno == ENOENT;
        return scan;
    }
    while (true) {
        errno = 0;
        const dirent* entry = ::readdir(folder.get());
        if (entry == nullptr) {
            if (errno != 0) scan.complete = false;
            break;
        }
        if (!mayBeNode(*entry)) continue;
        if (auto node = readNode(::dirfd(folder.get()), entry->d_name)) {
            scan.nodes.push_back(std::move(*node));
        } else {
            scan.complete = false;  // gone since the listing, or not readable
        }
    }
    std::sort(scan.nodes.begin(), scan.nodes.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    return scan;
}

}  // namespace

PowerSnapshot BatteryRecordRead::snapshot(WallClockTime timestamp) const {
    if (properties) return makeSnapshot(*properties, timestamp);
    return unavailableSnapshot(failureMessage, timestamp);
}

SysfsPowerReader::SysfsPowerReader(std::filesystem::path root, Clock clock)
    : root_(std::move(root)), clock_(std::move(clock)) {}

PowerSnapshot SysfsPowerReader::read() const {
    const WallClockTime timestamp = clock_();
    return readProperties().snapshot(timestamp);
}

BatteryRecordRead SysfsPowerReader::readProperties() const {
    const FolderScan scan = scanFolder(root_);
    if (auto record = makeBatteryRecord(scan.nodes)) return {std::move(*record), nullptr};
    // Without a battery among what could be read, one that could not be read may be it.
    return {std::nullopt, scan.complete ? kNoBatteryServiceMessage : kBatteryUnreadableMessage};
}

}  // namespace pylonix::linux_platform
