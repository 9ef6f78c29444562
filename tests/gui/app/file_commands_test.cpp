// Save, close, open and calculate again; the save question's outcomes; the
// command states as study, results and report windows come and go; a file
// that cannot be read changes nothing.

#include "../support/keyboard.h"
#include "../support/main_form_fixture.h"
#include "../support/worked_example_results.h"
#include "study/study_grid.h"
#include "study/study_window.h"
#include "study/study_window_rules.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <set>

using namespace valdex;
using namespace valdex::testing;

namespace {

using CommandSet = std::set<Command>;

// Every command that is enabled on the screen: menu items (their menus),
// toolbar buttons and the study window's popup item. The hidden items
// ("&Informe", "Como &usar  la ayuda") are not on the screen.
CommandSet EnabledCommands(MainWindow& form) {
    CommandSet enabled;
    for (Command command : AllCommands()) {
        bool on = false;
        if (command == Command::pmnudunet)
            on = form.Finforma() && form.Finforma()->pmnudunet()->isEnabled();
        else if (QAction* action = form.MenuAction(command))
            on = action->isVisible() && action->isEnabled();
        else if (QToolButton* button = form.ToolButton(command))
            on = button->isEnabled();
        if (on) enabled.insert(command);
    }
    return enabled;
}

QString Names(const CommandSet& commands) {
    QStringList names;
    for (Command command : commands)
        names << QString::fromLatin1(CommandName(command));
    return names.join(QLatin1Char(' '));
}

using C = Command;
// Enabled at start and never switched: the file menu, Exit, and the help
// items behind their disabled menu.
const CommandSet kAlwaysOn = {C::FileMenu,         C::FileExitItem,   C::spdexit,
                              C::HelpContentsItem, C::HelpSearchItem, C::HelpAboutItem};

// Two levels of two replicates, complete, as a file would hold it.
CalibrationStudy SmallStudy() {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.CalculationType = "Regresión";
    study.LevelCount = "2";
    study.Levels = {{"Nivel 1", "1", "2"}, {"Nivel 2", "2", "2"}};
    study.Responses = {{"Nivel 1 , Replica 1", "1", ""},
                       {"Nivel 1 , Replica 2", "1.1", ""},
                       {"Nivel 2 , Replica 1", "2", ""},
                       {"Nivel 2 , Replica 2", "2.1", ""}};
    return study;
}

CommandSet With(CommandSet base, std::initializer_list<Command> more) {
    base.insert(more);
    return base;
}

} // namespace

class FileCommandsTest : public QObject, private MainFormFixture {
    Q_OBJECT

private:
    QTemporaryDir folder_;

    QString PathOf(const char* name) const { return folder_.filePath(QString::fromLatin1(name)); }

    void ExpectEnabled(const CommandSet& expected) {
        QCOMPARE(Names(EnabledCommands(*form_)), Names(expected));
    }

    // A new study, complete, with one key typed in the method name.
    StudyWindow* NewModifiedStudy() {
        QTest::keyClick(form_.get(), Qt::Key_N, Qt::ControlModifier);
        StudyWindow* study = form_->Finforma();
        if (!study) return nullptr;
        study->Rules().LoadStudy(SmallStudy());
        if (FocusedControl() != QStringLiteral("esistema")) return nullptr;
        Type(QStringLiteral("x"));
        return study;
    }

private slots:
    void initTestCase() {
        UseCLocale();
        QVERIFY(folder_.isValid());
    }

    void init() { OpenMainForm(); }

    void cleanup() {
        QVERIFY2(dialogs_->unexpected.isEmpty(), qPrintable(dialogs_->unexpected.join('\n')));
        CloseMainForm();
    }

    void savedStudyOpensAndCalculatesTheSame() {
        TypeWorkedExample(*form_, QStringLiteral("Regresión"));
        if (QTest::currentTestFailed()) return;
        const QString path = PathOf("ensayo.w8c");
        dialogs_->saveNames.push_back(path);
        QTest::keyClick(form_.get(), Qt::Key_G, Qt::ControlModifier);

        // A study never saved goes through the save dialog, which proposes "Nuevo".
        QCOMPARE(dialogs_->saveProposals, QStringList{QStringLiteral("Nuevo")});
        QVERIFY(QFile::exists(path));
        QCOMPARE(form_->Finforma()->windowTitle(), path);
        QCOMPARE(form_->estado()->text(), QString());

        form_->Finforma()->close(); // nothing to ask: just saved
        QVERIFY(dialogs_->questions.isEmpty());
        QCOMPARE(form_->MdiArea()->subWindowList().size(), 0);
        // The Calculations menu stays on once enabled.
        ExpectEnabled(With(kAlwaysOn, {C::FileNewItem, C::spdnuevo, C::FileOpenItem, C::spdabrir,
                                       C::mnucalculos}));

        dialogs_->openNames.push_back(path);
        QTest::keyClick(form_.get(), Qt::Key_A, Qt::ControlModifier);
        StudyWindow* study = form_->Finforma();
        QVERIFY(study);
        QCOMPARE(study->windowTitle(), path);
        QCOMPARE(static_cast<QLineEdit*>(study->ControlWidget(Control::esistema))->text(),
                 QStringLiteral("Método A"));
        ExpectEnabled(
            With(kAlwaysOn, {C::mnuclose, C::spdclose, C::FilePrintItem, C::PrintLasser,
                             C::PrintDeskjet, C::spdprint, C::spdprint1, C::WindowTileItem,
                             C::spdmosaico, C::WindowCascadeItem, C::spdcascada, C::mnucalculos}));

        // To the data page by the keyboard; entering it offers the calculation.
        QTRY_COMPARE(FocusedControl(), QStringLiteral("esistema"));
        NextPage();
        NextPage();
        QCOMPARE(FocusedControl(), QStringLiteral("stgdatos"));
        QVERIFY(study->pmnudunet()->isEnabled());
        RunCalculationFromMenu(*form_);
        const QList<ResultsWindow*> results = ResultsWindows(*form_);
        QCOMPARE(results.size(), 1);
        QCOMPARE(results[0]->Lines(), ExpectedResults(QStringLiteral("Regresión")));

        // After Open the save dialog proposes the opened file; Save writes
        // back to it without asking.
        QCOMPARE(dialogs_->openProposals, QStringList{QString()});
        QVERIFY(QFile::remove(path));
        form_->Rules().FileSave();
        QVERIFY(QFile::exists(path));
        QCOMPARE(dialogs_->saveProposals.size(), 1);
    }

    void saveQuestionOutcomes_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("dialogConfirms");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("estado");
        QTest::newRow("Sí saves") << true << true << true << true << QString();
        QTest::newRow("Sí, save dialog cancelled")
            << true << false << false << false << QStringLiteral("Modificado");
        QTest::newRow("No") << false << false << true << false << QStringLiteral(" ");
    }

    void saveQuestionOutcomes() {
        QFETCH(bool, answer);
        QFETCH(bool, dialogConfirms);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        QFETCH(QString, estado);
        const QString path = PathOf("pregunta.w8c");
        QFile::remove(path);

        StudyWindow* study = NewModifiedStudy();
        QVERIFY(study);
        QCOMPARE(form_->estado()->text(), QStringLiteral("Modificado"));
        dialogs_->answers.push_back(answer);
        if (answer)
            dialogs_->saveNames.push_back(dialogConfirms ? std::optional(path) : std::nullopt);
        study->close();

        QCOMPARE(dialogs_->questions,
                 QStringList{QStringLiteral("Guardar archivo?|Se realizaron cambios!\n"
                                            "Quiere guardar su información?")});
        QCOMPARE(form_->MdiArea()->subWindowList().isEmpty(), closes);
        QCOMPARE(form_->Finforma() == nullptr, closes);
        QCOMPARE(QFile::exists(path), written);
        QCOMPARE(form_->estado()->text(), estado);
        if (!closes) {
            // The study is still there to be saved.
            QCOMPARE(form_->Finforma(), study);
            QCOMPARE(static_cast<QLineEdit*>(study->ControlWidget(Control::esistema))->text(),
                     QStringLiteral("x"));
        }
    }

    // Closing the program asks first; a study that was not saved keeps the
    // program open.
    void exitAsksAndStaysWhenTheSaveIsCancelled() {
        StudyWindow* study = NewModifiedStudy();
        QVERIFY(study);
        dialogs_->answers = {true, false};
        dialogs_->saveNames.push_back(std::nullopt);
        QVERIFY(!form_->close());
        QVERIFY(form_->isVisible());
        QCOMPARE(form_->Finforma(), study);

        QVERIFY(form_->close()); // No this time
        QCOMPARE(dialogs_->questions.size(), 2);
    }

    // A level count out of range refuses the save; answering Sí keeps the
    // window open with its message shown.
    void refusedLevelCheckKeepsTheWindow() {
        StudyWindow* study = NewModifiedStudy();
        QVERIFY(study);
        study->Rules().SetFieldText(Control::enivel, "11");
        dialogs_->answers.push_back(true);
        study->close();
        QCOMPARE(dialogs_->messages,
                 QStringList{QStringLiteral("Datos fuera de rango, 2-10 Número de Niveles")});
        QCOMPARE(form_->Finforma(), study);
        QCOMPARE(study->Thojas()->currentIndex(), 1);
        QCOMPARE(form_->estado()->text(), QStringLiteral("Modificado"));
    }

    void commandStatesOfNewAndTheCalculationType() {
        // New and Open from the start.
        ExpectEnabled(With(kAlwaysOn, {C::FileNewItem, C::spdnuevo, C::FileOpenItem, C::spdabrir}));
        QTest::keyClick(form_.get(), Qt::Key_N, Qt::ControlModifier);
        StudyWindow* study = form_->Finforma();
        QVERIFY(study);
        // New does not enable Close.
        const CommandSet tile = With(
            kAlwaysOn, {C::WindowTileItem, C::spdmosaico, C::WindowCascadeItem, C::spdcascada});
        ExpectEnabled(tile);
        // A key that sets the modified mark enables Save and Save as, in the
        // general fields as in the calculation type.
        QTRY_COMPARE(FocusedControl(), QStringLiteral("esistema"));
        const CommandSet saving = With(tile, {C::FileSaveItem, C::spdguardar, C::FileSaveAsItem});
        Type(QStringLiteral("M"));
        ExpectEnabled(saving);
        QTest::mouseClick(study->ControlWidget(Control::ComboBox1), Qt::LeftButton);
        Type(QStringLiteral("R"));
        ExpectEnabled(saving);
        dialogs_->answers.push_back(false);
    }

    // The data page offers printing and the calculation; the study window
    // closing with a results window open enables New only, and the results
    // window closing last enables Open.
    void commandStatesAsTheStudyAndResultsClose() {
        TypeWorkedExample(*form_, QStringLiteral("Regresión"));
        if (QTest::currentTestFailed()) return;
        ExpectEnabled(With(
            kAlwaysOn, {C::WindowTileItem, C::spdmosaico, C::WindowCascadeItem, C::spdcascada,
                        C::FileSaveItem, C::spdguardar, C::FileSaveAsItem, C::FilePrintItem,
                        C::PrintLasser, C::PrintDeskjet, C::spdprint, C::spdprint1, C::mnucalculos,
                        C::mnudunet, C::mnudiagnostico, C::mnuvalidacion, C::pmnudunet}));
        RunCalculationFromMenu(*form_);
        QCOMPARE(ResultsWindows(*form_).size(), 1);

        dialogs_->answers.push_back(false);
        form_->Finforma()->close();
        ExpectEnabled(With(kAlwaysOn, {C::FileNewItem, C::spdnuevo, C::mnucalculos}));

        ResultsWindows(*form_)[0]->close();
        ExpectEnabled(With(kAlwaysOn, {C::FileNewItem, C::spdnuevo, C::FileOpenItem, C::spdabrir,
                                       C::mnucalculos}));
    }

    // A results window closing while the study window stays changes nothing.
    void closingResultsBesideTheStudyChangesNothing() {
        TypeWorkedExample(*form_, QStringLiteral("Regresión"));
        if (QTest::currentTestFailed()) return;
        form_->Rules().mnudunetClick();
        form_->Rules().mnuinformeClick();
        const CommandSet before = EnabledCommands(*form_);
        ResultsWindows(*form_)[0]->close();
        QCOMPARE(Names(EnabledCommands(*form_)), Names(before));
        // Cerrar on the active report window closes it alone.
        form_->Rules().mnucloseClick();
        QCOMPARE(form_->MdiArea()->subWindowList().size(), 1);
        QCOMPARE(Names(EnabledCommands(*form_)), Names(before));
    }

    void refusedFileChangesNothing() {
        const QString path = PathOf("malo.w8c");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\nx\r\n");
        file.close();
        const CommandSet before = EnabledCommands(*form_);
        dialogs_->openNames.push_back(path);
        form_->MenuAction(C::FileOpenItem)->trigger();
        QCOMPARE(dialogs_->TakeErrors().size(), 1);
        QCOMPARE(form_->MdiArea()->subWindowList().size(), 0);
        QCOMPARE(Names(EnabledCommands(*form_)), Names(before));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
