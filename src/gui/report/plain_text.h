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

    // Glyphs of several texts in one font, gathered to be drawn as one run:
    // far cheaper on a PDF than a run for each text. A space draws nothing
    // and is left out of the run; the glyphs after it keep their places.
    class Batch {
    public:
        bool Empty() const { return indexes_.isEmpty(); }
        const QFont& Font() const { return font_; }
        // Starts the batch over in the given font when it had another.
        void Add(PlainTextLayout& layout, const QFont& font, QPaintDevice& device,
                 const QString& text, QPointF baseline);
        // The run of everything added, the batch emptied.
        QGlyphRun Take();

    private:
        QFont font_;
        QRawFont raw_;
        QVector<quint32> indexes_;
        QVector<QPointF> positions_;
    };

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
