// The plots on Qt's devices: the page canvas's shapes (clipped to the
// frame, texts black whatever shape came before), a page of one sheet
// refusing a second, the outliers' squares in the SVG, and the time to draw
// 100000 responses as the window does.

#include "../../core/support/worked_example.h"
#include "base/app_error.h"
#include "plots/diagnostics_plots.h"
#include "plots/plot_export.h"
#include "report/qt_page_canvas.h"

#include <QElapsedTimer>
#include <QImage>
#include <QXmlStreamReader>
#include <QtTest>

#include <clocale>
#include <iostream>

using namespace valdex;

namespace {

QImage White(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// Ten levels with `replicates` responses each on y = 3 + 2x, a little
// scattered; `outlier` adds 1.5 to one response of level 7.
CalibrationStudy LineStudy(int replicates, bool outlier) {
    std::vector<std::pair<std::string, std::string>> levels;
    std::vector<std::string> responses;
    for (int x = 1; x <= 10; ++x) {
        levels.emplace_back(std::to_string(x), std::to_string(replicates));
        for (int j = 0; j < replicates; ++j) {
            double y = 3 + 2 * x + 0.1 * ((j * 7 + x * 3) % 5 - 2);
            if (outlier && x == 7 && j == 1) y += 1.5;
            responses.push_back(QString::number(y, 'g', 10).toStdString());
        }
    }
    return testing::MakeStudy(levels, responses);
}

} // namespace

class PlotExportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_ALL, "C"); }

    // Nothing leaves the clip rectangle; after it is cleared, drawing reaches
    // the whole device again.
    void shapesStayInsideTheClip() {
        QImage image = White(200, 200);
        QtPageCanvas canvas(image);
        canvas.BeginDoc();
        canvas.SetClip({50, 50, 100, 100});
        canvas.DrawStyledLine({0, 100}, {200, 100}, {LineStyle::Solid, 4, kCanvasBlack});
        canvas.DrawMarker({150, 150}, MarkerShape::Disc, 30, 0xC62828);
        canvas.ClearClip();
        canvas.DrawPolyline({{10, 10}, {30, 10}, {30, 30}}, {LineStyle::Solid, 3, kCanvasBlack});
        canvas.EndDoc();
        QVERIFY(!IsWhite(image, 100, 100));
        QVERIFY(IsWhite(image, 20, 100)); // the line, outside the clip
        QVERIFY(IsWhite(image, 180, 100));
        QVERIFY(!IsWhite(image, 145, 145)); // the marker, inside
        QVERIFY(IsWhite(image, 160, 160));  // and cut at the clip's edge
        QVERIFY(!IsWhite(image, 20, 10));   // the polyline, after the clip
        QCOMPARE(qRed(image.pixel(145, 145)), 0xC6);
    }

    // A text after a coloured or pen-less shape is black.
    void textsAreBlackAfterShapes() {
        QImage image = White(300, 100);
        QtPageCanvas canvas(image);
        canvas.BeginDoc();
        canvas.DrawMarker({10, 10}, MarkerShape::Square, 8, 0xC62828);
        canvas.SetFont("ARIAL", 20, FontPitch::Default);
        canvas.TextOut(20, 20, "MMMM");
        canvas.DrawRectangle({200, 20, 50, 50}, {LineStyle::Dashed, 2, kCanvasWhite}, 0x1565C0);
        canvas.TextOut(20, 60, "MMMM");
        canvas.EndDoc();
        for (int band : {20, 60}) {
            int black = 0, other = 0;
            for (int y = band; y < band + 25; ++y)
                for (int x = 20; x < 120; ++x) {
                    const QRgb p = image.pixel(x, y);
                    if (p == qRgb(255, 255, 255)) continue;
                    (qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) ? black : other) += 1;
                }
            QVERIFY2(black > 100 && other == 0,
                     qPrintable(QStringLiteral("%1 %2").arg(black).arg(other)));
        }
        QCOMPARE(image.pixel(225, 45), qRgb(0x15, 0x65, 0xC0));
    }

    void aDeviceOfOnePageRefusesASecond() {
        QImage image = White(50, 50);
        QtPageCanvas canvas(image);
        canvas.BeginDoc();
        canvas.NewPage();
        QVERIFY_THROWS_EXCEPTION(AppError, canvas.EndDoc());
    }

    // The response 1.5 above its level's line is a square, red, beyond +2.
    void outliersAreSquaresInTheSvg() {
        const CalibrationStudy study = LineStudy(3, true);
        const Diagnostics d = ComputeDiagnostics(study, {}, '.');
        QXmlStreamReader svg(DiagnosticsSvg(study, d, '.', {1000, 900}));
        int circles = 0, redSquares = 0;
        QString fill;
        while (!svg.atEnd()) {
            if (svg.readNext() != QXmlStreamReader::StartElement) continue;
            // The generator puts a shape's fill on the group around it.
            if (svg.name() == u"g")
                fill = svg.attributes().value(QStringLiteral("fill")).toString();
            if (svg.name() == u"circle") ++circles;
            if (svg.name() == u"rect" &&
                fill.compare(QStringLiteral("#c62828"), Qt::CaseInsensitive) == 0)
                ++redSquares;
        }
        QVERIFY(!svg.hasError());
        // 30 open circles, 29 discs, the legend's circle and disc; the
        // outlier's square and the legend's. Then the normal probability
        // plot's 30 residuals and its legend's disc, and the spread panel's
        // ten levels, for s and for CV %, each with its legend's disc.
        QCOMPARE(circles, 30 + 29 + 2 + (30 + 1) + 2 * (10 + 1));
        QCOMPARE(redSquares, 2);
    }

    // As the window draws them on the screen, and as the file writers do.
    void oneHundredThousandResponses() {
        const CalibrationStudy study = LineStudy(10000, false);
        QElapsedTimer timer;
        timer.start();
        const Diagnostics d = ComputeDiagnostics(study, {}, '.');
        const qint64 diagnostics = timer.restart();
        const PlotData data = MakePlotData(study, d);
        QImage image = White(1200, 900);
        QtPageCanvas canvas(image);
        canvas.BeginDoc();
        DrawDiagnosticsPlots(canvas, data, {0, 0, 1200, 900}, '.');
        canvas.EndDoc();
        const qint64 screen = timer.restart();
        const QByteArray pdf = DiagnosticsPdf(study, d, '.');
        const qint64 page = timer.restart();
        const QByteArray png = DiagnosticsPng(study, d, '.', {1000, 900});
        const qint64 file = timer.restart();
        std::cout << "100000 responses: diagnostics " << diagnostics << " ms, plots on the screen "
                  << screen << " ms, PDF page " << page << " ms (" << pdf.size() << " bytes), PNG "
                  << file << " ms\n";
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
        // Timed only where the build is optimized and not instrumented.
        QVERIFY2(screen < 300, qPrintable(QString::number(screen)));
#endif
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(!png.isEmpty());
    }

    void formatsByExtension() {
        QCOMPARE(ExportFormatOf(QStringLiteral("/a/b.PDF")), std::optional(ExportFormat::Pdf));
        QCOMPARE(ExportFormatOf(QStringLiteral("b.svg")), std::optional(ExportFormat::Svg));
        QCOMPARE(ExportFormatOf(QStringLiteral("c.d.Png")), std::optional(ExportFormat::Png));
        QVERIFY(!ExportFormatOf(QStringLiteral("pdf")));
        QVERIFY(!ExportFormatOf(QStringLiteral("x.jpg")));
    }
};

QTEST_MAIN(PlotExportTest)
#include "plot_export_test.moc"
