#include "platform/linux/applications/desktop_entry.h"

#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {
namespace {

bool isTrue(std::string_view value) {
    return value == "true";
}

// The locale keys to look for, best match first: lang_COUNTRY@MODIFIER, lang_COUNTRY,
// lang@MODIFIER, lang.
std::vector<std::string> localeCandidates(std::string_view locale) {
    std::string_view modifier;
    if (const std::size_t at = locale.find('@'); at != std::string_view::npos) {
        modifier = locale.substr(at + 1);
        locale = locale.substr(0, at);
    }
    if (const std::size_t dot = locale.find('.'); dot != std::string_view::npos) {
        locale = locale.substr(0, dot);
    }
    std::string_view lang = locale;
    std::string_view country;
    if (const std::size_t underscore = locale.find('_'); underscore != std::string_view::npos) {
        lang = locale.substr(0, underscore);
        country = locale.substr(underscore + 1);
    }
    std::vector<std::string> candidates;
    if (lang.empty() || lang == "C" || lang == "POSIX") return candidates;
    const std::string langText(lang);
    if (!country.empty() && !modifier.empty()) {
        candidates.push_back(langText + "_" + std::string(country) + "@" + std::string(modifier));
    }
    if (!country.empty()) candidates.push_back(langText + "_" + std::string(country));
    if (!modifier.empty()) candidates.push_back(langText + "@" + std::string(modifier));
    candidates.push_back(langText);
    return candidates;
}

// A field code: the letter after '%'. Every code is dropped from the arguments.
bool isFieldCode(char letter) {
    constexpr std::string_view kCodes = "fFuUdDnNickvm";
    return kCodes.find(letter) != std::string_view::npos;
}

}  // namespace

std::string unescapeDesktopValue(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                text += ' ';
                break;
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                text += '\\';
                text += value[i];
        }
    }
    return text;
}

std::optional<std::vector<std::string>> splitExecValue(std::string_view value) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    bool onlyFieldCode = false;  // the argument so far is one field code, to be dropped whole
    auto finish = [&] {
        if (inArgument && !onlyFieldCode) arguments.push_back(current);
        current.clear();
        inArgument = false;
        onlyFieldCode = false;
    };
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < value.size()) {
                current += value[++i];
            } else if (c == '%' && i + 1 < value.size() && value[i + 1] == '%') {
                current += value[++i];  // a literal percent sign, quoted or not
            } else {
                current += c;
            }
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\n') {
            finish();
            continue;
        }
        if (c == '"') {
            quoted = true;
            inArgument = true;
            onlyFieldCode = false;
            continue;
        }
        if (c == '%' && i + 1 < value.size()) {
            const char code = value[++i];
            if (code == '%') {
                current += '%';
                onlyFieldCode = false;
            } else if (isFieldCode(code)) {
                onlyFieldCode = !inArgument;  // "%U" alone goes; "--file=%f" keeps the rest
            }
            inArgument = true;
            continue;
        }
        current += c;
        inArgument = true;
        onlyFieldCode = false;
    }
    if (quoted) return std::nullopt;
    finish();
    return arguments;
}

std::vector<std::filesystem::path> splitPathList(const char* value) {
    std::vector<std::filesystem::path> paths;
    std::string_view text = value ? value : "";
    while (!text.empty()) {
        const std::string_view part = takePiece(text, ':');
        if (!part.empty() && part.front() == '/') paths.emplace_back(part);
    }
    return paths;
}

std::optional<DesktopEntry> parseDesktopEntry(std::string_view text, std::string_view locale) {
    const std::vector<std::string> candidates = localeCandidates(locale);
    DesktopEntry entry;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    std::size_t bestNameRank = SIZE_MAX;  // index into candidates; SIZE_MAX: the plain Name
    bool hasName = false;
    while (!text.empty()) {
        const std::string_view line = trimSpace(takePiece(text, '\n'));
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            if (inMainGroup) break;  // the main group is done; later groups are actions
            inMainGroup = line == "[Desktop Entry]";
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = trimSpace(line.substr(0, equals));
        const std::string_view value = trimSpace(line.substr(equals + 1));
        if (key == "Name") {
            if (!hasName) entry.name = unescapeDesktopValue(value);
            hasName = true;
        } else if (key.starts_with("Name[") && key.ends_with(']')) {
            const std::string_view tag = key.substr(5, key.size() - 6);
            for (std::size_t rank = 0; rank < candidates.size() && rank < bestNameRank; ++rank) {
                if (candidates[rank] == tag) {
                    entry.name = unescapeDesktopValue(value);
                    bestNameRank = rank;
                    hasName = true;
                    break;
                }
            }
        } else if (key == "Type") {
            entry.type = unescapeDesktopValue(value);
        } else if (key == "Icon") {
            entry.icon = unescapeDesktopValue(value);
            if (entry.icon->empty()) entry.icon.reset();
        } else if (key == "TryExec") {
            entry.tryExec = unescapeDesktopValue(value);
            if (entry.tryExec->empty()) entry.tryExec.reset();
        } else if (key == "Exec") {
            entry.exec =
                splitExecValue(unescapeDesktopValue(value)).value_or(std::vector<std::string>{});
        } else if (key == "NoDisplay") {
            entry.noDisplay = isTrue(value);
        } else if (key == "Hidden") {
            entry.hidden = isTrue(value);
        } else if (key == "Terminal") {
            entry.terminal = isTrue(value);
        }
    }
    if (!sawMainGroup) return std::nullopt;
    return entry;
}

}  // namespace pylonix::linux_platform
