#include "platform/linux/applications/desktop_applications.h"

#include <charconv>

namespace pylonix::linux_platform {
namespace {

// Limits of what is read of a process: a cgroup file is a few lines; an environment can be
// large, the launcher's variables are in it wherever they are.
constexpr std::size_t kCgroupLimit = 4096;
constexpr std::size_t kEnvironLimit = 256 * 1024;

// systemd's unit-name escaping: "\x2d" for '-', and so on.
std::string unescapeUnitName(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            unsigned value = 0;
            const auto [stop, error] = std::from_chars(text.data() + i + 2, text.data() + i + 4,
                                                       value, 16);
            if (error == std::errc() && stop == text.data() + i + 4) {
                result += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

// "gnome-org.gnome.Terminal" from an application unit's name, or nothing for other units.
std::optional<std::string_view> applicationPart(std::string_view unit) {
    if (!unit.starts_with("app-")) return std::nullopt;
    unit.remove_prefix(4);
    if (unit.ends_with(".scope")) {
        unit.remove_suffix(6);
        const std::size_t dash = unit.rfind('-');  // the random part
        if (dash == std::string_view::npos || dash == 0) return std::nullopt;
        unit = unit.substr(0, dash);
    } else if (unit.ends_with(".service")) {
        unit.remove_suffix(8);
        if (const std::size_t at = unit.find('@'); at != std::string_view::npos) {
            unit = unit.substr(0, at);
        }
    } else {
        return std::nullopt;
    }
    if (unit.empty()) return std::nullopt;
    return unit;
}

}  // namespace

std::vector<std::string> desktopIdsFromCgroup(std::string_view cgroupFile) {
    while (!cgroupFile.empty()) {
        const std::size_t end = std::min(cgroupFile.find('\n'), cgroupFile.size());
        std::string_view line = cgroupFile.substr(0, end);
        cgroupFile.remove_prefix(std::min(end + 1, cgroupFile.size()));
        // "hierarchy:controllers:path"
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) continue;
        std::string_view path = line.substr(second + 1);
        // The innermost unit first: a scope inside an application's service is that service's.
        while (!path.empty()) {
            const std::size_t slash = path.rfind('/');
            const std::string_view component =
                slash == std::string_view::npos ? path : path.substr(slash + 1);
            if (const auto part = applicationPart(component)) {
                std::vector<std::string> ids{unescapeUnitName(*part)};
                if (const std::size_t dash = part->find('-');
                    dash != std::string_view::npos && dash + 1 < part->size()) {
                    ids.push_back(unescapeUnitName(part->substr(dash + 1)));
                }
                return ids;
            }
            if (slash == std::string_view::npos) break;
            path = path.substr(0, slash);
        }
    }
    return {};
}

std::optional<std::string> launchedDesktopFile(std::string_view environ, std::int32_t pid) {
    std::optional<std::string_view> file;
    std::optional<std::string_view> filePid;
    while (!environ.empty()) {
        const std::size_t end = std::min(environ.find('\0'), environ.size());
        const std::string_view pair = environ.substr(0, end);
        environ.remove_prefix(std::min(end + 1, environ.size()));
        constexpr std::string_view kFile = "GIO_LAUNCHED_DESKTOP_FILE=";
        constexpr std::string_view kPid = "GIO_LAUNCHED_DESKTOP_FILE_PID=";
        if (pair.starts_with(kFile)) file = pair.substr(kFile.size());
        if (pair.starts_with(kPid)) filePid = pair.substr(kPid.size());
    }
    if (!file || file->empty()) return std::nullopt;
    if (filePid && *filePid != std::to_string(pid)) return std::nullopt;
    return std::string(*file);
}

std::vector<DesktopApplicationProcess> findDesktopApplicationProcesses(
    const std::vector<ProcProcess>& processes, const ProcDirectory& proc,
    DesktopEntryCatalogue& catalogue) {
    std::vector<DesktopApplicationProcess> found;
    for (const ProcProcess& process : processes) {
        const std::int32_t pid = process.stat.pid;
        const CatalogueEntry* application = nullptr;
        if (const auto cgroup = proc.processFile(pid, "cgroup", kCgroupLimit)) {
            for (const std::string& id : desktopIdsFromCgroup(*cgroup)) {
                if ((application = catalogue.findById(id))) break;
            }
        }
        if (!application) {
            if (const auto environ = proc.processFile(pid, "environ", kEnvironLimit)) {
                if (const auto file = launchedDesktopFile(*environ, pid)) {
                    application = catalogue.findByPath(*file);
                }
            }
        }
        if (!application && process.executablePath) {
            std::string_view executable = *process.executablePath;
            // A program replaced on disk while it runs (an upgrade) still is that program.
            constexpr std::string_view kDeleted = " (deleted)";
            if (executable.ends_with(kDeleted)) executable.remove_suffix(kDeleted.size());
            application = catalogue.findByExecutable(std::string(executable));
        }
        if (application) found.push_back({pid, application});
    }
    return found;
}

}  // namespace pylonix::linux_platform
