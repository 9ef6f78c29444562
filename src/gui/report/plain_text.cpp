#include "report/plain_text.h"

#include <QList>
#include <QPointF>
#include <QVector>

#include <cmath>

namespace valdex {

bool PlainTextLayout::IsPlain(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u > 0x7E && u < 0xA0) || u == 0xAD || u > 0xFF) return false;
    }
    return true;
}

PlainTextLayout::FontGlyphs& PlainTextLayout::For(const QFont& font, QPaintDevice& device) {
    // Texts come in long runs of one font; its key is costly to build.
    if (last_ != nullptr && font == lastFont_) return *last_;
    const QString key = font.key();
    auto found = fonts_.find(key);
    if (found == fonts_.end()) {
        found = fonts_.emplace(key, FontGlyphs{}).first;
        found->second.raw = QRawFont::fromFont(QFont(font, &device));
    }
    lastFont_ = font;
    last_ = &found->second;
    return found->second;
}

void PlainTextLayout::Learn(FontGlyphs& glyphs, const QString& text) {
    QString missing;
    for (QChar c : text)
        if (!glyphs.known[c.unicode()] && !missing.contains(c)) missing += c;
    if (missing.isEmpty()) return;
    const QList<quint32> indexes = glyphs.raw.glyphIndexesForString(missing);
    const QList<QPointF> advances =
        glyphs.raw.advancesForGlyphIndexes(indexes, QRawFont::SeparateAdvances);
    for (qsizetype i = 0; i < missing.size() && i < indexes.size(); ++i) {
        const char16_t u = missing[i].unicode();
        glyphs.glyph[u] = indexes[i];
        glyphs.advance[u] = advances[i].x();
        glyphs.known[u] = true;
    }
}

int PlainTextLayout::Width(const QFont& font, QPaintDevice& device, const QString& text) {
    FontGlyphs& glyphs = For(font, device);
    Learn(glyphs, text);
    qreal width = 0;
    for (QChar c : text)
        width += glyphs.advance[c.unicode()];
    return static_cast<int>(std::lround(width));
}

void PlainTextLayout::Batch::Add(PlainTextLayout& layout, const QFont& font, QPaintDevice& device,
                                 const QString& text, QPointF baseline) {
    if (indexes_.isEmpty() || !(font == font_)) {
        indexes_.clear();
        positions_.clear();
        font_ = font;
    }
    FontGlyphs& glyphs = layout.For(font, device);
    layout.Learn(glyphs, text);
    raw_ = glyphs.raw;
    qreal x = baseline.x();
    for (QChar c : text) {
        if (c != u' ') {
            indexes_.push_back(glyphs.glyph[c.unicode()]);
            positions_.push_back(QPointF(x, baseline.y()));
        }
        x += glyphs.advance[c.unicode()];
    }
}

QGlyphRun PlainTextLayout::Batch::Take() {
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes_);
    run.setPositions(positions_);
    indexes_.clear();
    positions_.clear();
    return run;
}

} // namespace valdex
