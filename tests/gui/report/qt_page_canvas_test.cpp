// The Qt page canvas on a PDF writer: "ARIAL" measures as Arial (drawn with
// Liberation Sans), the units come out of the device's resolution, and an
// aborted job writes nothing.

#include "report/qt_page_canvas.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QtTest>

#include <memory>

using valdex::FontPitch;
using valdex::QtPageCanvas;

namespace {

// A Letter page with a quarter-inch margin, as valdex-cli writes it.
struct PdfTarget {
    explicit PdfTarget(int dpi) : buffer(&bytes), writer(std::make_unique<QPdfWriter>(&buffer)) {
        buffer.open(QIODevice::WriteOnly);
        writer->setResolution(dpi);
        writer->setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                          QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
    }
    QByteArray bytes;
    QBuffer buffer;
    std::unique_ptr<QPdfWriter> writer;
};

} // namespace

class QtPageCanvasTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Without Debian's fonts-liberation the printed pages would not
        // measure as the layout expects: stop here, loudly.
        if (!QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
            QFAIL("Liberation Sans is not installed (Debian package fonts-liberation); "
                  "\"ARIAL\" cannot be measured as Arial");
    }

    void arialIsDrawnWithLiberationSans() {
        QCOMPARE(QtPageCanvas::DeviceFamily("ARIAL"), QStringLiteral("Liberation Sans"));
        QCOMPARE(QtPageCanvas::DeviceFamily("arial"), QStringLiteral("Liberation Sans"));
        QCOMPARE(QtPageCanvas::DeviceFamily("Courier New"), QStringLiteral("Courier New"));
        PdfTarget target(600);
        QtPageCanvas canvas(*target.writer);
        canvas.BeginDoc();
        canvas.SetFont("ARIAL", 12, FontPitch::Default);
        QCOMPARE(canvas.FontFamilyInUse(), QStringLiteral("Liberation Sans"));
        canvas.Abort();
    }

    void unitsAtTheDeviceResolution_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("pageHeight");
        QTest::newRow("300 dpi") << 300 << 50 << 2400 << 3150;
        QTest::newRow("600 dpi") << 600 << 100 << 4800 << 6300;
    }
    void unitsAtTheDeviceResolution() {
        QFETCH(int, dpi);
        QFETCH(int, height);
        QFETCH(int, width);
        QFETCH(int, pageHeight);
        PdfTarget target(dpi);
        QtPageCanvas canvas(*target.writer);
        canvas.BeginDoc();
        canvas.SetFont("ARIAL", 12, FontPitch::Default);
        QCOMPARE(std::abs(canvas.FontHeight()), height);
        QCOMPARE(canvas.FontPointSize(), 12);
        QCOMPARE(canvas.PageWidth(), width);
        QCOMPARE(canvas.PageHeight(), pageHeight);
        canvas.Abort();
    }

    // Arial's advance widths, in thousandths of an em: D 722, e 556, s 500,
    // a 556, r 333, o 556, l 222; "Desarrollo" is 4556. At 600 dpi an em of
    // 12 points is 100 pixels; one of 10 points is rounded to 83 whole pixels.
    void widthsAreArials_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<double>("expected");
        QTest::newRow("12 pt, 600 dpi") << 12 << 600 << 455.6;
        QTest::newRow("10 pt, 600 dpi") << 10 << 600 << 378.1;
        QTest::newRow("12 pt, 300 dpi") << 12 << 300 << 227.8;
    }
    void widthsAreArials() {
        QFETCH(int, size);
        QFETCH(int, dpi);
        QFETCH(double, expected);
        PdfTarget target(dpi);
        QtPageCanvas canvas(*target.writer);
        canvas.BeginDoc();
        canvas.SetFont("ARIAL", size, FontPitch::Default);
        const int width = canvas.TextWidth("Desarrollo");
        QVERIFY2(std::abs(width - expected) <= 1.0, qPrintable(QString::number(width)));
        canvas.Abort();
    }

    void endedJobWritesEveryPage() {
        PdfTarget target(600);
        QtPageCanvas canvas(*target.writer);
        canvas.BeginDoc();
        canvas.SetFont("ARIAL", 12, FontPitch::Default);
        canvas.TextOut(0, 0, "Desarrollo");
        canvas.DrawLine(0, 500, canvas.PageWidth(), 500);
        canvas.NewPage();
        canvas.TextOut(0, 0, "Desarrollo");
        QVERIFY(target.bytes.isEmpty()); // nothing reaches the device before the end
        canvas.EndDoc();
        target.writer.reset();
        QVERIFY(target.bytes.startsWith("%PDF-"));
        QCOMPARE(canvas.Pages(), 2);
        QCOMPARE(target.bytes.count("/Type /Page\n"), 2);
    }

    void abortedJobWritesNothing() {
        PdfTarget target(600);
        QtPageCanvas canvas(*target.writer);
        canvas.BeginDoc();
        canvas.SetFont("ARIAL", 12, FontPitch::Default);
        canvas.TextOut(0, 300, "Desarrollo");
        canvas.Abort();
        target.writer.reset();
        QVERIFY(canvas.Aborted());
        QVERIFY(target.bytes.isEmpty());
    }
};

QTEST_MAIN(QtPageCanvasTest)
#include "qt_page_canvas_test.moc"
