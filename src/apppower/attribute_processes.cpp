#include "apppower/attribute_processes.h"

#include <unordered_set>

#include "apppower/application_bundle_path.h"

namespace pylonix {

ProcessAttribution attributeProcesses(const std::vector<RunningApplicationIdentity>& applications,
                                      const ProcessMetadataTable& metadata) {
    ProcessAttribution attribution;
    attribution.reserve(metadata.size());

    std::unordered_set<std::string_view> ids;
    for (const RunningApplicationIdentity& application : applications) {
        ids.insert(application.id);
        for (const std::int32_t pid : application.processIDs) {
            attribution.insert_or_assign(pid, application.id);
        }
    }

    for (const auto& [pid, process] : metadata) {
        if (!process.executablePath || attribution.contains(pid)) continue;
        const std::optional<std::string> bundle = applicationBundlePath(*process.executablePath);
        if (bundle && ids.contains(*bundle)) attribution.emplace(pid, *bundle);
    }

    // A walk from a process passes through unplaced ancestors up to the nearest placed one; every
    // process on that chain has the same nearest placed ancestor (or none), so the outcome of one
    // walk settles the whole chain. A chain that reaches a process settled earlier takes its
    // outcome; one that reaches a process on its own path has found a cycle.
    // `unplaced` holds the processes of the chain being walked and those settled without an
    // application: reaching either ends a walk unplaced.
    std::unordered_set<std::int32_t> unplaced;
    std::vector<std::int32_t> path;
    for (const auto& [start, startProcess] : metadata) {
        if (attribution.contains(start) || unplaced.contains(start)) continue;
        path.assign(1, start);
        unplaced.insert(start);
        const std::string* found = nullptr;
        std::int32_t p = startProcess.parentPID;
        while (p > 1) {
            if (unplaced.contains(p)) break;  // a cycle, or a chain known to end unplaced
            if (const auto placed = attribution.find(p); placed != attribution.end()) {
                found = &placed->second;
                break;
            }
            const auto parent = metadata.find(p);
            if (parent == metadata.end()) break;
            unplaced.insert(p);
            path.push_back(p);
            p = parent->second.parentPID;
        }
        if (found != nullptr) {
            const std::string application = *found;  // the map may rehash while we insert
            for (const std::int32_t pid : path) {
                unplaced.erase(pid);
                attribution.emplace(pid, application);
            }
        }
    }
    return attribution;
}

}  // namespace pylonix
