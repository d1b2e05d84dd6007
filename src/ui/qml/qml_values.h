#pragma once

#include <QString>
#include <QVariantMap>
#include <string>
#include <string_view>

namespace pylonix {

// View-model texts (UTF-8) as QML strings.
inline QString qmlText(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
inline QString qmlText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A symbol as QML draws it: its system name under "<prefix>symbol" and the icon font's glyph
// under "<prefix>glyph".
void putSymbol(QVariantMap& map, std::string_view symbol, const char* prefix = "");

}  // namespace pylonix
