// The diagnostics window: its menu item switched with "Detección y
// Cuantificación", its tabs, the sample field, printing and exporting
// through the dialogs, and its closing as a results window's.

#include "../../core/support/worked_example.h"
#include "../support/keyboard.h"
#include "../support/worked_example_fixture.h"
#include "diagnostics/diagnostics_text.h"
#include "diagnostics/diagnostics_window.h"
#include "files/study_file.h"
#include "study/study_window.h"
#include "study/study_window_rules.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace valdex;
using namespace valdex::testing;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// The circles of an SVG drawing (the markers of the points and of the legend).
int SvgCircles(const QByteArray& svg) {
    QXmlStreamReader reader(svg);
    int circles = 0;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"circle")
            ++circles;
    return reader.hasError() ? -1 : circles;
}

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class DiagnosticsWindowTest : public QObject, private WorkedExampleFixture {
    Q_OBJECT

private:
    bool DiagnosticsOn() const { return form_->MenuAction(Command::mnudiagnostico)->isEnabled(); }
    bool DetectionOn() const { return form_->MenuAction(Command::mnudunet)->isEnabled(); }

private slots:
    void initTestCase() {
        UseCLocale();
        QVERIFY(folder_.isValid());
    }
    void init() { OpenMainForm(); }
    void cleanup() { CloseMainForm(); }

    // Enabled and disabled exactly with "Detección y Cuantificación".
    void menuItemFollowsTheCalculation() {
        QAction* item = form_->MenuAction(Command::mnudiagnostico);
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("Dia&gnóstico de la calibración"));
        QCOMPARE(item->statusTip(),
                 QStringLiteral("Gráficos, residuos y pruebas de la curva de calibración"));
        QCOMPARE(form_->MenuAction(Command::mnucalculos)->menu()->actions().indexOf(item), 2);
        QVERIFY(!DiagnosticsOn());

        form_->MenuAction(Command::FileNewItem)->trigger();
        QCOMPARE(DiagnosticsOn(), DetectionOn());
        dialogs_->answers.push_back(false);
        form_->Finforma()->close();

        StudyWindow* study = OpenWorkedExample();
        QVERIFY(study);
        QVERIFY(DetectionOn());
        QCOMPARE(DiagnosticsOn(), DetectionOn());

        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        QCOMPARE(DiagnosticsOn(), DetectionOn());
        dialogs_->answers.push_back(false);
        study->close();
        QVERIFY(!DetectionOn());
        QCOMPARE(DiagnosticsOn(), DetectionOn());
    }

    void windowShowsPlotsAndTests() {
        StudyWindow* study = OpenWorkedExample();
        QVERIFY(study);
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Diagnóstico: ") + study->windowTitle());
        QCOMPARE(window->Tabs()->count(), 2);
        QCOMPARE(window->Tabs()->tabText(0), QStringLiteral("Gráficos"));
        QCOMPARE(window->Tabs()->tabText(1), QStringLiteral("Pruebas"));

        // Pruebas: the text of valdex-cli diagnostico, read-only, selectable, named.
        QPlainTextEdit* tests = window->Tests();
        QVERIFY(tests->isReadOnly());
        QVERIFY(tests->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QVERIFY(!tests->accessibleName().isEmpty());
        const Diagnostics expected = ComputeDiagnostics(WorkedExample(), DiagnosticOptions{}, '.');
        QStringList lines;
        for (const std::string& line : DiagnosticsLines(expected, '.'))
            lines << QString::fromStdString(line);
        QCOMPARE(tests->toPlainText(), lines.join(QLatin1Char('\n')));
        QVERIFY(tests->toPlainText().contains(QStringLiteral("N = 12 PUNTOS EN 4 NIVELES")));
        // The caveats beside the limits table: LC = 0.72 mg under the lowest standard, 1 mg.
        QVERIFY(tests->toPlainText().contains(
            QStringLiteral("\nLC por debajo del patrón más bajo (extrapolado): confírmelo con "
                           "muestras en el LC.\n")));

        // Gráficos: drawn, and drawn again at the window's new size.
        PlotsView* plots = window->Plots();
        QVERIFY(!plots->accessibleName().isEmpty());
        QVERIFY(plots->accessibleDescription().contains(QStringLiteral("2.0233333")));
        window->showNormal();
        window->resize(700, 620);
        QApplication::processEvents();
        const QSize small = plots->size();
        window->resize(900, 760);
        QApplication::processEvents();
        QVERIFY(plots->width() > small.width() && plots->height() > small.height());
        const QImage image = plots->grab().toImage();
        int dark = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
        QVERIFY2(dark > 200, qPrintable(QString::number(dark)));
        QVERIFY(dialogs_->errors.isEmpty());
    }

    void interpolarReadsTheSample_data() {
        QTest::addColumn<QString>("responses");
        QTest::addColumn<QString>("expected");
        // x = (4.0 + 0.0333333) / 2.0233333
        QTest::newRow("one") << QStringLiteral("4.0") << QStringLiteral("x = 1.99341 mg");
        QTest::newRow("three, blanks around")
            << QStringLiteral("  3.9 4.0\t4.1 ") << QStringLiteral("m = 3, media ȳ₀ = 4");
        QTest::newRow("below LD") << QStringLiteral("0.2") << QStringLiteral("Veredicto: < LD");
        QTest::newRow("above the highest standard")
            << QStringLiteral("10")
            << QStringLiteral(
                   "Veredicto: fuera del intervalo de calibración (1–4 mg): extrapolación (LD");
        QTest::newRow("below the lowest standard")
            << QStringLiteral("1.2")
            << QStringLiteral("Veredicto: LD ≤ x < LC, por debajo del patrón más bajo (LD");
    }

    void interpolarReadsTheSample() {
        QFETCH(QString, responses);
        QFETCH(QString, expected);
        QVERIFY(OpenWorkedExample());
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        window->emuestra()->setText(responses);
        QTest::mouseClick(window->binterpolar(), Qt::LeftButton);
        QVERIFY2(window->SampleResult()->toPlainText().contains(expected),
                 qPrintable(window->SampleResult()->toPlainText()));
    }

    // A bad sample ends in the general error box; the window stays.
    void interpolarRefusesBadText_data() {
        QTest::addColumn<QString>("responses");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QStringLiteral("   ")
                               << QStringLiteral("Escriba una o más respuestas de la muestra, "
                                                 "separadas por espacios.");
        QTest::newRow("not a number")
            << QStringLiteral("4.0 x1")
            << QStringLiteral("'x1' is not a valid floating point value.");
    }

    void interpolarRefusesBadText() {
        QFETCH(QString, responses);
        QFETCH(QString, error);
        QVERIFY(OpenWorkedExample());
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        window->emuestra()->setText(responses);
        window->emuestra()->setFocus();
        QTest::keyClick(window->emuestra(), Qt::Key_Return);
        QCOMPARE(dialogs_->TakeErrors(), QStringList{error});
        QVERIFY(window->SampleResult()->toPlainText().isEmpty());
    }

    void printGoesThroughThePrintDialog() {
        QVERIFY(OpenWorkedExample());
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        const QString pdf = PathOf(QStringLiteral("impreso.pdf"));
        dialogs_->printToFile = pdf;
        dialogs_->printAnswers = {false};
        QTest::mouseClick(window->bimprimir(), Qt::LeftButton);
        QCOMPARE(dialogs_->printDialogs, 1);
        QVERIFY(!QFile::exists(pdf));

        dialogs_->printAnswers = {true};
        QTest::mouseClick(window->bimprimir(), Qt::LeftButton);
        QCOMPARE(dialogs_->printDialogs, 2);
        const QString text = PdfText(pdf);
        for (const char* expected :
             {"Desarrollo", "Diagnóstico de la Curva de Calibración", "Cantidad adicionada (mg)",
              "Curva de calibración", "Residuos estandarizados", "Falta de ajuste",
              "VALDEX v.w. 3.1"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(dialogs_->errors.isEmpty());
    }

    void exportWritesTheChosenFormat() {
        QVERIFY(OpenWorkedExample());
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        const QString svg = PathOf(QStringLiteral("graficos.svg"));
        const QString png = PathOf(QStringLiteral("graficos.PNG"));
        const QString pdf = PathOf(QStringLiteral("pagina.pdf"));
        dialogs_->exportNames = {std::nullopt, svg, png, pdf};
        for (int i = 0; i < 4; ++i)
            QTest::mouseClick(window->bexportar(), Qt::LeftButton);
        // The study's own name is proposed first, then the last file written.
        QCOMPARE(dialogs_->exportProposals,
                 (QStringList{PathOf(QStringLiteral("curva-diagnostico.pdf")),
                              PathOf(QStringLiteral("curva-diagnostico.pdf")), svg, png}));
        // Twelve responses in the calibration, residual and normal plots, the
        // four levels' s and CV %, and a marker in each of the five legends.
        QCOMPARE(SvgCircles(ReadAll(svg)), 12 + 12 + 12 + 4 + 4 + 5);
        const QImage image(png);
        QCOMPARE(image.size(), QSize(1000, 900));
        QVERIFY(ReadAll(pdf).startsWith("%PDF"));
        QVERIFY(PdfText(pdf).contains(QStringLiteral("Residuos estandarizados")));
        QVERIFY(dialogs_->errors.isEmpty());
    }

    // A name of another type and a folder that is not there end in the
    // error box; an earlier file of that name is left as it was.
    void exportFailuresLeaveTheFileAlone() {
        QVERIFY(OpenWorkedExample());
        DiagnosticsWindow* window = RunDiagnostics();
        QVERIFY(window);
        const QString text = PathOf(QStringLiteral("notas.txt"));
        QFile earlier(text);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("antes");
        earlier.close();
        dialogs_->exportNames = {text, PathOf(QStringLiteral("no-existe/graficos.svg"))};
        QTest::mouseClick(window->bexportar(), Qt::LeftButton);
        QStringList errors = dialogs_->TakeErrors();
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains(QStringLiteral("no termina en .pdf, .svg ni .png")));
        QCOMPARE(ReadAll(text), QByteArray("antes"));
        QTest::mouseClick(window->bexportar(), Qt::LeftButton);
        errors = dialogs_->TakeErrors();
        QCOMPARE(errors.size(), 1);
        QVERIFY(!QFile::exists(PathOf(QStringLiteral("no-existe"))));
    }

    // Closing it beside the study window changes nothing; closing it last
    // returns to the state without documents.
    void closingIsAResultsWindowsClosing() {
        StudyWindow* study = OpenWorkedExample();
        QVERIFY(study);
        DiagnosticsWindow* first = RunDiagnostics();
        QVERIFY(first);
        form_->MdiArea()->setActiveSubWindow(study);
        form_->MenuAction(Command::mnudiagnostico)->trigger();
        QCOMPARE(form_->findChildren<DiagnosticsWindow*>().size(), 2);
        const bool saveBefore = form_->MenuAction(Command::FilePrintItem)->isEnabled();
        first->close();
        QTRY_COMPARE(form_->findChildren<DiagnosticsWindow*>().size(), 1);
        QCOMPARE(form_->MenuAction(Command::FilePrintItem)->isEnabled(), saveBefore);
        QVERIFY(DiagnosticsOn());

        dialogs_->answers.push_back(false);
        study->close();
        QVERIFY(!form_->MenuAction(Command::FileOpenItem)->isEnabled());
        form_->findChild<DiagnosticsWindow*>()->close();
        QTRY_VERIFY(form_->findChild<DiagnosticsWindow*>() == nullptr);
        QVERIFY(form_->MenuAction(Command::FileOpenItem)->isEnabled());
        QVERIFY(form_->MenuAction(Command::FileNewItem)->isEnabled());
    }

    // A study whose responses are not all numbers: the error box, no window.
    void unreadableStudyGivesTheErrorBox() {
        StudyWindow* study = OpenWorkedExample();
        QVERIFY(study);
        CalibrationStudy bad = WorkedExample();
        bad.Responses[4].Response = "4,2x";
        study->Rules().LoadStudy(bad);
        form_->Rules().mnudiagnosticoClick();
        QCOMPARE(dialogs_->TakeErrors(),
                 QStringList{QStringLiteral("'4,2x' is not a valid floating point value.")});
        QVERIFY(form_->findChild<DiagnosticsWindow*>() == nullptr);
    }
};

QTEST_MAIN(DiagnosticsWindowTest)
#include "diagnostics_window_test.moc"
