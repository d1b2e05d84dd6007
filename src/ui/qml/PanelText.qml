import QtQuick

Text {
    // Part of an element that is read as one (a card, a tile, a row): not read on its own.
    property bool combined: false
    Accessible.ignored: combined
    textFormat: Text.PlainText
    font.family: Theme.textFamily
    font.pixelSize: Theme.body
    color: Theme.primary
}
