#include "platform/linux/processes/process_identity_hints.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

bool isUnit(std::string_view name) {
    return name.ends_with(".scope") || name.ends_with(".service");
}

bool isApplicationUnit(std::string_view name) {
    return name.starts_with("app-") && isUnit(name);
}

constexpr std::string_view kDesktopFileKey = "GIO_LAUNCHED_DESKTOP_FILE=";
constexpr std::string_view kDesktopFilePidKey = "GIO_LAUNCHED_DESKTOP_FILE_PID=";
constexpr std::string_view kAppImageKey = "APPIMAGE=";
constexpr std::array<std::string_view, 3> kKeys = {kDesktopFileKey, kDesktopFilePidKey,
                                                   kAppImageKey};
constexpr std::size_t kMaxValue = 4096;

}  // namespace

std::string systemdUnitFromCgroup(std::string_view cgroupFile) {
    std::string_view innermost;
    std::string_view applicationSlice;
    while (!cgroupFile.empty()) {
        const std::string_view line = takePiece(cgroupFile, '\n');
        // "hierarchy:controllers:path"
        const std::size_t first = line.find(':');
        const std::size_t second =
            first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) continue;
        std::string_view path = line.substr(second + 1);
        bool innermostOfLine = true;
        // The innermost unit first: a scope inside an application's service is that service's.
        while (!path.empty()) {
            const std::size_t slash = path.rfind('/');
            const std::string_view component =
                slash == std::string_view::npos ? path : path.substr(slash + 1);
            if (isApplicationUnit(component)) return std::string(component);
            if (innermostOfLine && isUnit(component)) {
                innermost = component;
                innermostOfLine = false;
            }
            if (applicationSlice.empty() && component.starts_with("app-") &&
                component.ends_with(".slice")) {
                applicationSlice = component;
            }
            if (slash == std::string_view::npos) break;
            path = path.substr(0, slash);
        }
    }
    // A terminal's tabs run in scopes of their own inside the terminal's slice; a snap's scope
    // names its application itself.
    if (!applicationSlice.empty() && !innermost.starts_with("snap.")) {
        return std::string(applicationSlice);
    }
    return std::string(innermost);
}

std::string flatpakIdFromInfo(std::string_view info) {
    bool inApplication = false;
    while (!info.empty()) {
        std::string_view line = takePiece(info, '\n');
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.starts_with('[')) {
            inApplication = line == "[Application]";
        } else if (inApplication && line.starts_with("name=")) {
            return std::string(line.substr(5));
        }
    }
    return {};
}

std::string unescapeUnitName(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            unsigned value = 0;
            const auto [stop, error] =
                std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16);
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

std::string flatpakIdFromUnit(std::string_view unit) {
    constexpr std::string_view kPrefix = "app-flatpak-";
    constexpr std::string_view kSuffix = ".scope";
    if (!unit.starts_with(kPrefix) || !unit.ends_with(kSuffix)) return {};
    unit.remove_prefix(kPrefix.size());
    unit.remove_suffix(kSuffix.size());
    const std::size_t dash = unit.rfind('-');  // the instance number
    if (dash == std::string_view::npos || dash == 0) return {};
    return unescapeUnitName(unit.substr(0, dash));
}

std::optional<std::string> LauncherVariables::desktopFileFor(std::int32_t pid) const {
    if (!desktopFile || desktopFile->empty()) return std::nullopt;
    if (desktopFilePid && *desktopFilePid != std::to_string(pid)) return std::nullopt;
    return desktopFile;
}

void LauncherEnvironmentScanner::finishEntry() {
    if (!skipping_) {
        const std::string_view entry = entry_;
        if (entry.starts_with(kDesktopFileKey) && !found_.desktopFile) {
            found_.desktopFile.emplace(entry.substr(kDesktopFileKey.size()));
        } else if (entry.starts_with(kDesktopFilePidKey) && !found_.desktopFilePid) {
            found_.desktopFilePid.emplace(entry.substr(kDesktopFilePidKey.size()));
        } else if (entry.starts_with(kAppImageKey) && !found_.appImage) {
            found_.appImage.emplace(entry.substr(kAppImageKey.size()));
        }
    }
    entry_.clear();
    skipping_ = false;
}

bool LauncherEnvironmentScanner::feed(std::string_view piece) {
    while (!piece.empty()) {
        const std::size_t end = std::min(piece.find('\0'), piece.size());
        if (!skipping_) {
            entry_.append(piece.substr(0, end));
            const std::string_view entry = entry_;
            const bool wanted = std::any_of(kKeys.begin(), kKeys.end(), [entry](auto key) {
                return entry.size() <= key.size()
                           ? key.starts_with(entry)
                           : entry.starts_with(key) && entry.size() - key.size() <= kMaxValue;
            });
            if (!wanted) {
                entry_.clear();
                skipping_ = true;
            }
        }
        if (end == piece.size()) break;
        finishEntry();
        piece.remove_prefix(end + 1);
        if (found_.desktopFile && found_.desktopFilePid && found_.appImage) return false;
    }
    return true;
}

}  // namespace pylonix::linux_platform
