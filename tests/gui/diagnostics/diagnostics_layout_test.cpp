// The diagnostics window at the sizes a user gives it: tiled with the
// study and results windows, its plots stay reachable; the sample's reading
// shows every line; a second window cascades; printing offers the preview,
// proposes a file beside the study and uses the export's paper; the preview
// opens large enough to read.

#include "../../core/support/worked_example.h"
#include "../support/keyboard.h"
#include "../support/worked_example_fixture.h"
#include "diagnostics/diagnostics_window.h"
#include "files/study_file.h"
#include "plots/plot_export.h"
#include "report/print_options_dialog.h"
#include "study/study_window.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>

using namespace valdex;
using namespace valdex::testing;

namespace {

// pdfinfo's "Page size: 612 x 792 pts (letter)", as "612 x 792".
QString PdfPageSize(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    process.waitForFinished(30000);
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+) pts")).match(info);
    return match.hasMatch() ? match.captured(1) : info;
}

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class DiagnosticsLayoutTest : public QObject, private WorkedExampleFixture {
    Q_OBJECT

private:
    // The plots are whole in the tab or reachable by its scroll bars, and
    // the tab itself lies inside the window.
    static void VerifyPlotsReachable(DiagnosticsWindow* window) {
        auto* area = window->findChild<QScrollArea*>(QStringLiteral("desplazamientoGraficos"));
        QVERIFY(area);
        QVERIFY(area->isVisible());
        const QSize shown = area->viewport()->size();
        const QSize plots = window->Plots()->size();
        QCOMPARE(std::max(0, plots.height() - shown.height()),
                 area->verticalScrollBar()->maximum());
        QCOMPARE(std::max(0, plots.width() - shown.width()),
                 area->horizontalScrollBar()->maximum());
        const QPoint bottomRight =
            area->mapTo(window, QPoint(area->width() - 1, area->height() - 1));
        QVERIFY2(window->rect().contains(bottomRight),
                 qPrintable(QStringLiteral("tab ends at %1,%2 in a window of %3x%4")
                                .arg(bottomRight.x())
                                .arg(bottomRight.y())
                                .arg(window->width())
                                .arg(window->height())));
    }

private slots:
    void initTestCase() {
        UseCLocale();
        QVERIFY(folder_.isValid());
    }
    void init() { OpenMainForm(); }
    void cleanup() { CloseMainForm(); }

    // Mosaico with a study, a results and a diagnostics window, then sizes
    // a window manager may give.
    void plotsStayReachableAtAnySize_data() {
        QTest::addColumn<QSize>("size"); // empty: as Mosaico leaves it
        QTest::newRow("Mosaico") << QSize();
        QTest::newRow("wide and low") << QSize(1000, 365);
        QTest::newRow("small") << QSize(420, 260);
        QTest::newRow("large") << QSize(990, 690);
    }
    void plotsStayReachableAtAnySize() {
        QFETCH(QSize, size);
        QVERIFY(OpenWorkedExample());
        form_->MenuAction(Command::mnudunet)->trigger();
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        form_->MenuAction(Command::WindowTileItem)->trigger();
        QCOMPARE(form_->MdiArea()->subWindowList().size(), 3);
        if (size.isValid()) window->resize(size);
        QApplication::processEvents();
        VerifyPlotsReachable(window);
    }

    // Each sample's reading shows whole at the window's default size.
    void readingShowsEveryLine_data() {
        QTest::addColumn<QString>("responses");
        QTest::newRow("one") << QStringLiteral("4.0");
        QTest::newRow("three") << QStringLiteral("3.9 4.0 4.1");
        QTest::newRow("below LD") << QStringLiteral("0.2");
    }
    void readingShowsEveryLine() {
        QFETCH(QString, responses);
        QVERIFY(OpenWorkedExample());
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        window->emuestra()->setText(responses);
        QTest::mouseClick(window->binterpolar(), Qt::LeftButton);
        QApplication::processEvents();
        QPlainTextEdit* reading = window->SampleResult();
        QVERIFY(reading->document()->lineCount() >= 5);
        QCOMPARE(reading->verticalScrollBar()->maximum(), 0);
    }

    void secondWindowCascades() {
        QVERIFY(OpenWorkedExample());
        DiagnosticsWindow* first = RunDiagnostics();
        DiagnosticsWindow* second = RunDiagnostics();
        QVERIFY(first && second && first != second);
        const int step = form_->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
        QCOMPARE(second->pos(), first->pos() + QPoint(step, step));
        QCOMPARE(second->size(), first->size());
    }

    // "Imprimir…" offers the preview of the page, proposes a file beside the
    // study when there is no printer, and prints on the paper "Exportar…"
    // writes.
    void printingAndExportingShareThePaper() {
        QVERIFY(OpenWorkedExample());
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        const QString printed = PathOf(QStringLiteral("impreso.pdf"));
        dialogs_->printToFile = printed;
        dialogs_->printAnswers = {true};
        QTest::mouseClick(window->bimprimir(), Qt::LeftButton);
        QCOMPARE(dialogs_->printDialogs, 1);
        if (QPrinterInfo::availablePrinters().isEmpty())
            QCOMPARE(dialogs_->printProposals,
                     QStringList{PathOf(QStringLiteral("curva-diagnostico.pdf"))});

        QVERIFY(dialogs_->lastPreview);
        QPrinter previewed(QPrinter::HighResolution);
        previewed.setOutputFormat(QPrinter::PdfFormat);
        previewed.setOutputFileName(PathOf(QStringLiteral("vista.pdf")));
        dialogs_->lastPreview(previewed);
        QVERIFY(PdfText(PathOf(QStringLiteral("vista.pdf")))
                    .contains(QStringLiteral("Diagnóstico de la Curva de Calibración")));

        const QString exported = PathOf(QStringLiteral("exportado.pdf"));
        dialogs_->exportNames = {exported};
        QTest::mouseClick(window->bexportar(), Qt::LeftButton);
        const QSizeF paper =
            DiagnosticsPaper(QPrinterInfo::defaultPrinter()).size(QPageSize::Point);
        const QString expected =
            QStringLiteral("%1 x %2").arg(qRound(paper.width())).arg(qRound(paper.height()));
        QCOMPARE(PdfPageSize(printed), expected);
        QCOMPARE(PdfPageSize(exported), expected);
        QVERIFY(dialogs_->errors.isEmpty());
    }

    void paperIsLetterWithoutAPrinter() {
        QCOMPARE(DiagnosticsPaper(QPrinterInfo()).id(), QPageSize::Letter);
    }

    // The preview opens on most of the screen, the page as wide as it.
    void previewOpensLargeEnoughToRead() {
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog view(&printer);
        SetUpPreview(view);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QRect screen = view.screen()->availableGeometry();
        QVERIFY(view.height() >= screen.height() * 8 / 10);
        QVERIFY(view.width() >= std::min(800, screen.width()));
        auto* widget = view.findChild<QPrintPreviewWidget*>();
        QVERIFY(widget);
        QCOMPARE(widget->zoomMode(), QPrintPreviewWidget::FitToWidth);
        QCOMPARE(view.windowTitle(), QStringLiteral("Vista previa"));
        view.close();
    }
};

QTEST_MAIN(DiagnosticsLayoutTest)
#include "diagnostics_layout_test.moc"
