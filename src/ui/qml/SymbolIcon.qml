import QtQuick

// One symbol, drawn by its Material Icons ligature. Symbols are never read aloud.
Text {
    property string glyph
    text: glyph
    textFormat: Text.PlainText
    font.family: Theme.symbolFamily
    font.pixelSize: 14
    verticalAlignment: Text.AlignVCenter
    Accessible.ignored: true
}
