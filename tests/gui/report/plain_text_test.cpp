// Plain texts laid out without shaping come out as shaping lays them out:
// for every pair of plain characters, in the sizes the pages use, the same
// width as QFontMetrics and the same glyphs at the same places as
// QTextLayout; and the pages' fonts keep kerning off, which this rests on.

#include "report/plain_text.h"
#include "report/qt_page_canvas.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPdfWriter>
#include <QTextLayout>
#include <QtTest>

using valdex::PlainTextLayout;

class PlainTextTest : public QObject {
    Q_OBJECT

private slots:
    void everyPairAsShapingLaysItOut();
    void whatIsNotPlainIsShaped();
};

void PlainTextTest::everyPairAsShapingLaysItOut() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    QString plain;
    for (char16_t u = 0x20; u <= 0xFF; ++u)
        if (PlainTextLayout::IsPlain(QString(QChar(u)))) plain += QChar(u);
    QCOMPARE(plain.size(), 95 + 95);
    for (int points : {7, 8, 10, 12}) {
        valdex::QtPageCanvas canvas(writer);
        canvas.SetFont("Arial", points, valdex::FontPitch::Default);
        const QFont font = canvas.Font();
        QVERIFY(!font.kerning());
        PlainTextLayout layout;
        const QFontMetrics metrics(font, &writer);
        for (QChar a : plain)
            for (QChar b : plain) {
                const QString text = QString(a) + b + a;
                QCOMPARE(layout.Width(font, writer, text), metrics.horizontalAdvance(text));
                QTextLayout shaped(text, QFont(font, &writer), &writer);
                shaped.beginLayout();
                shaped.createLine();
                shaped.endLayout();
                const QList<QGlyphRun> runs = shaped.glyphRuns();
                QCOMPARE(runs.size(), 1);
                PlainTextLayout::Batch batch;
                batch.Add(layout, font, writer, text, QPointF(0, 0));
                QCOMPARE(runs[0].glyphIndexes().size(), text.size());
                // Shaping's glyphs, one a character, but for the spaces,
                // which the batch leaves out.
                QList<quint32> indexes;
                QList<QPointF> expected;
                for (qsizetype i = 0; i < text.size(); ++i)
                    if (text[i] != u' ') {
                        indexes << runs[0].glyphIndexes()[i];
                        expected << runs[0].positions()[i];
                    }
                if (indexes.isEmpty()) {
                    QVERIFY(batch.Empty());
                    continue;
                }
                const QGlyphRun fast = batch.Take();
                QCOMPARE(fast.glyphIndexes(), indexes);
                const QList<QPointF> got = fast.positions();
                QCOMPARE(got.size(), expected.size());
                for (qsizetype i = 0; i < got.size(); ++i)
                    QCOMPARE(got[i].x(), expected[i].x());
            }
    }
}

void PlainTextTest::whatIsNotPlainIsShaped() {
    const struct {
        const char* text;
        bool plain;
    } rows[] = {
        {"Nivel 10 , Replica 9999: Ñandú ±0,5", true},
        {"soft\xC2\xADhyphen", false}, // hidden by shaping
        {"a\tb", false},
        {"x\xE2\x88\x92y", false}, // U+2212
        {"e\xCC\x81", false},      // a combining accent
        {"\xE2\x80\xA6", false},
    };
    for (const auto& row : rows)
        QVERIFY2(PlainTextLayout::IsPlain(QString::fromUtf8(row.text)) == row.plain, row.text);
}

QTEST_MAIN(PlainTextTest)
#include "plain_text_test.moc"
