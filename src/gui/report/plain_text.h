#pragma once
// Texts of plain Latin-1 characters laid out without shaping. With kerning
// off and no hinting, as the printed pages set their fonts, each such
// character is one glyph of its own advance, which is what shaping gives
// (the canvas tests check it for every pair of them), at a small part of the
// cost: a long printout measures and draws a hundred thousand labels.

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>

#include <array>
#include <optional>
#include <unordered_map>

class QPaintDevice;

namespace valdex {

class PlainTextLayout {
public:
    // Printable ASCII and Latin-1 but the soft hyphen (which shaping hides).
    static bool IsPlain(const QString& text);

    // The width that QFontMetrics(font, &device).horizontalAdvance(text)
    // gives, for a plain text.
    int Width(const QFont& font, QPaintDevice& device, const QString& text);

    // The glyphs of a plain text, their positions from the baseline's start.
    QGlyphRun Glyphs(const QFont& font, QPaintDevice& device, const QString& text);

private:
    struct FontGlyphs {
        QRawFont raw;
        std::array<quint32, 256> glyph{};
        std::array<qreal, 256> advance{};
        std::array<bool, 256> known{};
    };
    FontGlyphs& For(const QFont& font, QPaintDevice& device);
    void Learn(FontGlyphs& glyphs, const QString& text);

    std::unordered_map<QString, FontGlyphs> fonts_; // by QFont::key()
    QFont lastFont_;
    FontGlyphs* last_ = nullptr; // the entry of lastFont_ (map nodes stay put)
};

} // namespace valdex
