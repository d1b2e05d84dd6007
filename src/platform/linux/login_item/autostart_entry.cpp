#include "platform/linux/login_item/autostart_entry.h"

#include <utility>

#include "platform/linux/applications/desktop_entry.h"
#include "platform/linux/files/outside_file.h"

namespace pylonix::linux_platform {

namespace {

// One line of an entry as written, and what it is.
struct EntryLine {
    std::string_view text;  // without its line end
    bool inMainGroup = false;
    bool isGroupHeader = false;
    std::string_view key;  // empty unless a key=value line
    std::string_view value;
};

// Calls `visit` with each line of `contents`, in order; the last line may lack its line end.
template <typename Visit>
void forEachLine(std::string_view contents, Visit visit) {
    bool inMainGroup = false;
    while (!contents.empty()) {
        EntryLine line;
        line.text = takePiece(contents, '\n');
        const std::string_view trimmed = trimSpace(line.text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            inMainGroup = trimmed == "[Desktop Entry]";
            line.isGroupHeader = true;
        } else if (!trimmed.empty() && trimmed.front() != '#') {
            if (const auto equals = trimmed.find('='); equals != std::string_view::npos) {
                line.key = trimSpace(trimmed.substr(0, equals));
                line.value = trimSpace(trimmed.substr(equals + 1));
            }
        }
        line.inMainGroup = inMainGroup && !line.isGroupHeader;
        visit(line);
    }
}

bool isSwitchOffLine(const EntryLine& line) {
    return line.inMainGroup && ((line.key == "Hidden" && line.value == "true") ||
                                (line.key == "X-GNOME-Autostart-enabled" && line.value == "false"));
}

void appendLine(std::string& text, std::string_view line) {
    text += line;
    text += '\n';
}

}  // namespace

std::optional<AutostartEntry> parseAutostartEntry(std::string_view contents) {
    const std::optional<DesktopEntry> desktop = parseDesktopEntry(contents, "C");
    if (!desktop || desktop->type != "Application" || desktop->exec.empty()) return std::nullopt;
    AutostartEntry entry{desktop->exec, desktop->tryExec, desktop->hidden};
    bool gnomeEnabled = true;
    forEachLine(contents, [&gnomeEnabled](const EntryLine& line) {
        if (line.inMainGroup && line.key == "X-GNOME-Autostart-enabled") {
            gnomeEnabled = line.value != "false";
        }
    });
    entry.switchedOff = entry.switchedOff || !gnomeEnabled;
    return entry;
}

std::string switchOnAutostartEntry(std::string_view contents) {
    std::string text;
    forEachLine(contents, [&text](const EntryLine& line) {
        if (!isSwitchOffLine(line)) appendLine(text, line.text);
    });
    return text;
}

std::string switchOffAutostartEntry(std::string_view contents) {
    std::string text;
    std::string blankLines;  // held back at the end of the main group, to follow the mark
    bool inMainGroup = false;
    const auto endGroup = [&] {
        if (inMainGroup) appendLine(text, "Hidden=true");
        text += std::exchange(blankLines, {});
    };
    forEachLine(contents, [&](const EntryLine& line) {
        if (line.isGroupHeader) {
            endGroup();
            inMainGroup = trimSpace(line.text) == "[Desktop Entry]";
        } else if (inMainGroup && trimSpace(line.text).empty()) {
            appendLine(blankLines, line.text);
            return;
        }
        if (line.inMainGroup && line.key == "Hidden") return;
        text += std::exchange(blankLines, {});
        appendLine(text, line.text);
    });
    endGroup();
    return text;
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
