// The worked example typed key by key from Nuevo to the results window, by
// both calculation types, from the menu and from the responses grid's popup.

#include "../support/keyboard.h"
#include "../support/main_form_fixture.h"
#include "../support/worked_example_results.h"
#include "report/report_window.h"
#include "study/study_grid.h"
#include "study/study_window.h"

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QtTest>

using namespace valdex;
using namespace valdex::testing;

class WorkedExampleTest : public QObject, private MainFormFixture {
    Q_OBJECT

private slots:
    void initTestCase() { UseCLocale(); }
    void init() { OpenMainForm(); }
    void cleanup() { CloseMainForm(); }

    void typedStudyGivesTheResultsOfBothTypes_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("Regresión") << QStringLiteral("Regresión") << 23;
        QTest::newRow("Ordenada al Origen") << QStringLiteral("Ordenada al Origen") << 25;
    }

    void typedStudyGivesTheResultsOfBothTypes() {
        QFETCH(QString, type);
        QFETCH(int, lineCount);
        TypeWorkedExample(*form_, type);
        if (QTest::currentTestFailed()) return;
        QVERIFY2(dialogs_->messages.isEmpty(), qPrintable(dialogs_->messages.join('\n')));
        QCOMPARE(form_->estado()->text(), QStringLiteral("Modificado"));

        // The data page has laid out one labelled row per replicate under
        // the measured property.
        StudyGrid* grid = form_->Finforma()->stgdatos();
        QCOMPARE(grid->rowCount(), 12);
        QCOMPARE(grid->CellText(1, 0), QStringLiteral("Área"));
        QCOMPARE(grid->CellText(0, 4), QStringLiteral("Nivel 2 , Replica 1"));
        QCOMPARE(grid->CellText(0, 12), QStringLiteral("Nivel 4 , Replica 3"));
        QVERIFY(form_->MenuAction(Command::mnudunet)->isEnabled());

        RunCalculationFromMenu(*form_);
        const QList<ResultsWindow*> results = ResultsWindows(*form_);
        QCOMPARE(results.size(), 1);
        QCOMPARE(results[0]->windowTitle(),
                 QStringLiteral("Límite de detección y cuantificación del sistema"));
        QCOMPARE(results[0]->Lines().size(), lineCount);
        QCOMPARE(results[0]->Lines(), ExpectedResults(type));
        QVERIFY(dialogs_->errors.isEmpty());
    }

    // The report window holds the study part and the results part, spaces
    // and all; its "Cerrar" closes it alone.
    void reportWindowOfTheTypedStudy() {
        TypeWorkedExample(*form_, QStringLiteral("Regresión"));
        if (QTest::currentTestFailed()) return;
        form_->Rules().mnuinformeClick();
        ReportWindow* report = form_->findChild<ReportWindow*>();
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QStringLiteral("Informe"));
        const QStringList lines = report->Lines();
        QCOMPARE(lines.size(), 52);
        QCOMPARE(lines[16], QString(20, ' ') + QStringLiteral("Valor") + QString(8, ' ') +
                                QStringLiteral("Replicación "));
        QCOMPARE(lines[22], QString(40, ' ') + QStringLiteral("Área"));
        QCOMPARE(lines[23],
                 QStringLiteral("Nivel 1 , Replica 1") + QString(12, ' ') + QStringLiteral("2.1"));
        QCOMPARE(lines[51],
                 QStringLiteral("LÍMITE DE CUANTIFICACIÓN  \"Regresión\" = 0.723565 mg"));

        QAction* close = report->mminforme()->actions().value(0);
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("Cerrar"));
        close->trigger();
        QTRY_VERIFY(form_->findChild<ReportWindow*>() == nullptr);
        QCOMPARE(form_->MdiArea()->subWindowList().size(), 1);
    }

    // The popup of the responses grid runs the same command; changing the
    // type by hand and running it again leaves both windows open.
    void popupRunsTheCommandAgainAfterTheTypeChanged() {
        TypeWorkedExample(*form_, QStringLiteral("Regresión"));
        if (QTest::currentTestFailed()) return;
        StudyWindow* study = form_->Finforma();
        QVERIFY(study->pmnudunet()->isEnabled());
        study->pmnudunet()->trigger();
        QCOMPARE(ResultsWindows(*form_).size(), 1);

        // Back to the first page: the calculation type, typed anew.
        form_->MdiArea()->setActiveSubWindow(study);
        QTRY_VERIFY(study->stgdatos()->hasFocus() || study->stgdatos()->CellEditor());
        NextPage();
        QCOMPARE(FocusedControl(), QStringLiteral("esistema"));
        QTest::mouseClick(study->ControlWidget(Control::ComboBox1), Qt::LeftButton);
        QCOMPARE(FocusedControl(), QStringLiteral("ComboBox1"));
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("Ordenada al Origen"));
        RunCalculationFromMenu(*form_);

        const QList<ResultsWindow*> results = ResultsWindows(*form_);
        QCOMPARE(results.size(), 2);
        QCOMPARE(results[0]->Lines(), ExpectedResults(QStringLiteral("Regresión")));
        QCOMPARE(results[1]->Lines(), ExpectedResults(QStringLiteral("Ordenada al Origen")));
        QVERIFY(dialogs_->messages.isEmpty());
    }
};

QTEST_MAIN(WorkedExampleTest)
#include "worked_example_test.moc"
