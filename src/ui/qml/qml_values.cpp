#include "ui/qml/qml_values.h"

#include "ui/symbol_table.h"

namespace pylonix {

void putSymbol(QVariantMap& map, std::string_view symbol, const char* prefix) {
    map.insert(QString::fromLatin1(prefix) + QStringLiteral("symbol"), qmlText(symbol));
    map.insert(QString::fromLatin1(prefix) + QStringLiteral("glyph"),
               qmlText(materialIconFor(symbol)));
}

}  // namespace pylonix
