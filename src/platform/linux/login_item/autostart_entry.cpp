#include "platform/linux/login_item/autostart_entry.h"

#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {

bool isAutostartEntryEnabled(std::string_view contents) {
    bool inMainGroup = false;
    bool enabled = true;
    while (!contents.empty()) {
        const auto newline = contents.find('\n');
        const std::string_view line = trimSysfsValue(contents.substr(0, newline));
        contents.remove_prefix(newline == std::string_view::npos ? contents.size() : newline + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = trimSysfsValue(line.substr(0, equals));
        const std::string_view value = trimSysfsValue(line.substr(equals + 1));
        // A later line of the same key wins, as in the launchers' key files.
        if (key == "Hidden") {
            if (value == "true") enabled = false;
        } else if (key == "X-GNOME-Autostart-enabled") {
            if (value == "false") enabled = false;
        }
    }
    return enabled;
}

std::string quoteExecArgument(std::string_view argument) {
    // Inside double quotes the Exec key escapes ", `, $ and \ with a backslash; "%" is doubled
    // because it introduces field codes; then the whole value is a string value, whose own
    // escaping doubles every backslash again.
    std::string quoted = "\"";
    for (const char c : argument) {
        switch (c) {
            case '"':
            case '`':
            case '$':
                quoted += "\\\\";
                quoted += c;
                break;
            case '\\':
                quoted += "\\\\\\\\";
                break;
            case '%':
                quoted += "%%";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '\r':
                quoted += "\\r";
                break;
            default:
                quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::string makeAutostartEntry(std::string_view executable) {
    std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Pylonix\n"
        "Comment=显示整机功耗\n"
        "Exec=";
    entry += quoteExecArgument(executable);
    entry +=
        "\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n";
    return entry;
}

}  // namespace pylonix::linux_platform
