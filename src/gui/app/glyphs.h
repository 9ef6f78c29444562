#pragma once
// The toolbar's glyphs, drawn in code: a normal state and the embossed grey
// state that a disabled button shows.

#include <QIcon>
#include <QImage>
#include <QSize>

namespace valdex {

enum class Glyph {
    NewPage,
    OpenFolder,
    Floppy,
    Printer,
    CloseX,
    ExitDoor,
    Tile,
    Cascade,
    HelpBook
};

// 20×20 for the file, window and help glyphs, 16×16 for close and exit,
// 26×26 for the printer.
QSize GlyphSize(Glyph glyph);
QImage DrawGlyph(Glyph glyph);
// Dark parts become grey with a white highlight one pixel down and right.
QImage EmbossDisabled(const QImage& normal);
QIcon GlyphIcon(Glyph glyph);

} // namespace valdex
