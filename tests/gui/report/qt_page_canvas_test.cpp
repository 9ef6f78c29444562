// The Qt page canvas on a PDF writer: "ARIAL" measures as Arial (drawn with
// Liberation Sans), the units come out of the device's resolution, an
// aborted job writes nothing, and a rule comes out as one row of black
// pixels.

#include "report/qt_page_canvas.h"

#include "../../core/support/worked_example.h"
#include "report/deskjet_report.h"
#include "report/laser_report.h"

#include <QBuffer>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
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

// A page rendered by pdftoppm -gray: a binary PGM, "P5\n", the width and
// the height, "\n255\n", then one byte a pixel.
struct Gray {
    int width = 0;
    int height = 0;
    QByteArray pixels;

    static Gray FromPgm(const QByteArray& file) {
        Gray gray;
        qsizetype start = 0;
        for (int lines = 0; lines < 3; ++lines) {
            start = file.indexOf('\n', start) + 1;
            if (start == 0) return gray;
        }
        const QList<QByteArray> fields = file.left(start).simplified().split(' ');
        if (fields.size() != 4 || fields[0] != "P5" || fields[3] != "255") return gray;
        gray.width = fields[1].toInt();
        gray.height = fields[2].toInt();
        gray.pixels = file.mid(start);
        if (gray.pixels.size() != qsizetype(gray.width) * gray.height) gray.width = 0;
        return gray;
    }
    int At(int x, int y) const {
        return static_cast<unsigned char>(pixels[qsizetype(y) * width + x]);
    }
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

    // Page 1 of the worked example rendered by poppler at the PDF's own
    // resolution, anti-aliased as a screen shows it: each rule of the header
    // and the footer is one row of black pixels across the printable width
    // (x 0 up to W, not included) with white rows above and below it (left
    // of the centred title, whose descenders reach the header's rule).
    void rulesAreOneBlackPixelRow_data() {
        QTest::addColumn<bool>("laser");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QList<int>>("ruleRows");
        QTest::newRow("Lasser, 600 dpi") << true << 600 << QList<int>{5, 59};
        QTest::newRow("Lasser, 300 dpi") << true << 300 << QList<int>{5, 59};
        QTest::newRow("Deskjet, 600 dpi") << false << 600 << QList<int>{8, 52};
    }
    void rulesAreOneBlackPixelRow() {
        QFETCH(bool, laser);
        QFETCH(int, dpi);
        QFETCH(QList<int>, ruleRows);
        int width = 0;
        Gray gray;
        {
            PdfTarget target(dpi);
            QtPageCanvas canvas(*target.writer);
            const valdex::CalibrationStudy study = valdex::testing::WorkedExample();
            if (laser)
                valdex::LaserReport().PrintGeneralPage(canvas, study);
            else
                valdex::DeskjetReport().PrintGeneralPage(canvas, study);
            width = canvas.PageWidth();
            target.writer.reset();
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            QFile pdf(dir.filePath(QStringLiteral("page.pdf")));
            QVERIFY(pdf.open(QIODevice::WriteOnly));
            pdf.write(target.bytes);
            pdf.close();
            QProcess render;
            render.start(QStringLiteral("pdftoppm"),
                         {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                          pdf.fileName(), dir.filePath(QStringLiteral("page"))});
            QVERIFY2(render.waitForFinished(60000) && render.exitCode() == 0,
                     "pdftoppm (Debian package poppler-utils) did not render the page");
            QFile pgm(dir.filePath(QStringLiteral("page-1.pgm")));
            QVERIFY(pgm.open(QIODevice::ReadOnly));
            gray = Gray::FromPgm(pgm.readAll());
        }
        QVERIFY(gray.width > 0);
        const int margin = dpi / 4; // the printable area starts a quarter inch in
        const int lineUnit = dpi / 6;
        auto grey = [&](int x, int y) { return gray.At(margin + x, margin + y); };
        for (int row : ruleRows) {
            const int y = row * lineUnit;
            int notBlack = 0;
            for (int x = 0; x < width; ++x)
                if (grey(x, y) > 32) ++notBlack;
            QVERIFY2(notBlack == 0, qPrintable(QStringLiteral("row %1: %2 pixels not black, "
                                                              "the middle one %3")
                                                   .arg(row)
                                                   .arg(notBlack)
                                                   .arg(grey(width / 2, y))));
            for (int x = 0; x < width / 5; ++x) {
                QCOMPARE(grey(x, y - 1), 255);
                QCOMPARE(grey(x, y + 1), 255);
            }
            QCOMPARE(gray.At(margin - 1, margin + y), 255);
            QCOMPARE(gray.At(margin + width, margin + y), 255);
        }
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
