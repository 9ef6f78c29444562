// The study window's controls, keys and focus checks on the real widgets:
// labels and accessible names, limits, the grids' Tab modes, each check's
// message shown once with the focus put back, and no endless alternation
// of checks.

#include "../support/keyboard.h"
#include "../support/main_form_fixture.h"
#include "study/study_grid.h"
#include "study/study_window.h"
#include "study/study_window_rules.h"

#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidgetSelectionRange>
#include <QtTest>

using namespace valdex;
using namespace valdex::testing;

class StudyWindowTest : public QObject, private MainFormFixture {
    Q_OBJECT

private:
    StudyWindow* study_ = nullptr;

    QLineEdit* Edit(Control control) const {
        return qobject_cast<QLineEdit*>(study_->ControlWidget(control));
    }
    void Focus(Control control) {
        study_->ControlWidget(control)->setFocus();
        QTRY_VERIFY(study_->ControlWidget(control)->hasFocus() ||
                    study_->ControlWidget(control)->isAncestorOf(QApplication::focusWidget()));
    }
    void ClickTab(int index) {
        QTabBar* bar = study_->Thojas()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // Levels typed on page 1: count, "Aceptar niveles", then the cells.
    void EnterLevels(const QStringList& values, const QStringList& replicates) {
        NextPage();
        QCOMPARE(FocusedControl(), QStringLiteral("enivel"));
        Edit(Control::enivel)->selectAll();
        Type(QString::number(values.size()));
        Enter();
        Key(Qt::Key_Space);
        Tab();
        QCOMPARE(FocusedControl(), QStringLiteral("stgnivel"));
        for (const QStringList* row : {&values, &replicates})
            for (const QString& text : *row) {
                if (!text.isEmpty()) Type(text);
                Tab();
            }
    }

private slots:
    void initTestCase() { UseCLocale(); }

    // Every test starts in a new study window, the focus in its first field.
    void init() {
        OpenMainForm();
        if (QTest::currentTestFailed()) return;
        QTest::keyClick(form_.get(), Qt::Key_N, Qt::ControlModifier);
        study_ = form_->Finforma();
        QVERIFY(study_);
        QTRY_COMPARE(FocusedControl(), QStringLiteral("esistema"));
    }

    void cleanup() { CloseMainForm(); }

    // A paste changes the study as much as a typed key: the mark is set,
    // so closing asks the save question.
    void pasteSetsTheModifiedMark() {
        QApplication::clipboard()->setText(QStringLiteral("Método pegado"));
        form_->SetEstado("");
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Edit(Control::esistema)->text(), QStringLiteral("Método pegado"));
        QCOMPARE(form_->estado()->text(), QStringLiteral("Modificado"));
        QCOMPARE(study_->Rules().Study().MethodName, std::string("Método pegado"));
        form_->SetEstado("");
        Key(Qt::Key_Z, Qt::ControlModifier); // undo
        QCOMPARE(Edit(Control::esistema)->text(), QString());
        QCOMPARE(form_->estado()->text(), QStringLiteral("Modificado"));
    }

    // A block from a spreadsheet fills the levels grid; Ctrl+C of a selected
    // block gives it back; a block that does not fit is refused whole.
    void pasteAndCopyBlocks() {
        NextPage();
        Tab();
        Tab();
        QTRY_COMPARE(FocusedControl(), QStringLiteral("stgnivel"));
        StudyGrid* grid = study_->stgnivel();
        form_->SetEstado("");
        QApplication::clipboard()->setText(QStringLiteral("0,5\t1\t1.5\r\n3\t3\t3\r\n"));
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid->CellText(1, 1), QStringLiteral("0,5"));
        QCOMPARE(grid->CellText(3, 2), QStringLiteral("3"));
        QCOMPARE(study_->Rules().Study().LevelCell(3, 1), std::string("1.5"));
        QCOMPARE(form_->estado()->text(), QStringLiteral("Modificado"));

        grid->setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 2), true);
        Key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("0,5\t1\t1.5\n3\t3\t3\n"));

        QApplication::clipboard()->setText(QStringLiteral("1\t2\t3\t4\n"));
        grid->SetCurrentCell({1, 1});
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dialogs_->messages.size(), 1);
        QVERIFY(dialogs_->messages[0].startsWith(QStringLiteral("El bloque pegado no cabe")));
        QCOMPARE(grid->CellText(1, 1), QStringLiteral("0,5"));
    }

    // The context menu key opens the responses grid's menu, with a name for
    // screen readers and its item active.
    void dataMenuByKeyboard() {
        EnterLevels({"1", "2", "3"}, {"1", "1", "1"});
        NextPage();
        QTRY_COMPARE(FocusedControl(), QStringLiteral("stgdatos"));
        auto* menu = study_->findChild<QMenu*>(QStringLiteral("pmenu"));
        QVERIFY(menu);
        Key(Qt::Key_Menu);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->accessibleName(), QStringLiteral("Opciones de Captura de Datos"));
        QCOMPARE(menu->activeAction(), study_->pmnudunet());
        menu->hide();
    }

    void newWindowLayout() {
        QCOMPARE(study_->windowTitle(), QStringLiteral("Nuevo"));
        QCOMPARE(study_->property("helpContext").toInt(), 2);
        QTabWidget* pages = study_->Thojas();
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->tabText(0), QStringLiteral("Información General"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Información de niveles"));
        QCOMPARE(pages->tabText(2), QStringLiteral("Captura de Datos"));

        StudyGrid* levels = study_->stgnivel();
        QCOMPARE(levels->columnCount(), 3);
        QCOMPARE(levels->rowCount(), 2);
        QCOMPARE(levels->CellText(3, 0), QStringLiteral("Nivel 3"));
        QCOMPARE(levels->CellText(0, 1), QStringLiteral("Valor >>"));
        QCOMPARE(levels->CellText(0, 2), QStringLiteral("Replicación >>"));
        QCOMPARE(Edit(Control::enivel)->text(), QStringLiteral("3"));

        StudyGrid* data = study_->stgdatos();
        QCOMPARE(data->rowCount(), 9);
        QCOMPARE(data->columnCount(), 1);
        QCOMPARE(data->verticalHeader()->width(), 140);
        QCOMPARE(data->columnWidth(0), 130);
        QCOMPARE(data->CellText(0, 1), QString());

        auto* combo = qobject_cast<QComboBox*>(study_->ControlWidget(Control::ComboBox1));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QStringLiteral("Regresión"));
        QCOMPARE(combo->itemText(1), QStringLiteral("Ordenada al Origen"));
        QCOMPARE(combo->currentText(), QString());
        QVERIFY(combo->isEditable());

        QVERIFY(!study_->pmnudunet()->isEnabled());
        QCOMPARE(study_->pmnudunet()->text(), QStringLiteral("&Detección y Cuantificación"));
        auto* botonok = study_->findChild<QPushButton*>(QStringLiteral("botonok"));
        QVERIFY(botonok && !botonok->isVisible());
    }

    // Each labelled field: its label is its buddy (access key), its limit.
    void fieldsAndLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("maxLength");
        QTest::newRow("esistema") << "esistema"
                                  << "Nombre del &método:" << 100;
        QTest::newRow("eanalista") << "eanalista"
                                   << "Nombre del A&nalista:" << 100;
        QTest::newRow("efecha") << "efecha"
                                << "&Fecha:" << 20;
        QTest::newRow("epmedida") << "epmedida"
                                  << "Nombre de la &propiedad medida" << 100;
        QTest::newRow("ecanad") << "ecanad"
                                << "&Unidades de la cantidad adicionada:" << 20;
        QTest::newRow("enivel") << "enivel"
                                << "Número de niveles de cantidad adicionada:" << 2;
        QTest::newRow("ComboBox1") << "ComboBox1"
                                   << "Cur&va de Calibración" << -1;
    }

    void fieldsAndLabels() {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QFETCH(int, maxLength);
        QWidget* field = study_->findChild<QWidget*>(name);
        QVERIFY(field);
        QLabel* caption = nullptr;
        for (QLabel* candidate : study_->findChildren<QLabel*>())
            if (candidate->buddy() == field) caption = candidate;
        QVERIFY(caption);
        QCOMPARE(caption->text(), label);
        QVERIFY(!field->accessibleName().isEmpty());
        if (auto* edit = qobject_cast<QLineEdit*>(field)) QCOMPARE(edit->maxLength(), maxLength);
    }

    void controlsHaveAccessibleNames() {
        for (const char* name : {"stgnivel", "stgdatos", "bnivel", "botonr", "Thojas"})
            QVERIFY2(
                !study_->findChild<QWidget*>(QString::fromLatin1(name))->accessibleName().isEmpty(),
                name);
        QVERIFY(!study_->accessibleName().isEmpty());
    }

    // The access key of a label puts the focus in its field.
    void accessKeyFocusesTheField() {
        Key(Qt::Key_F, Qt::AltModifier);
        QCOMPARE(FocusedControl(), QStringLiteral("efecha"));
        Key(Qt::Key_V, Qt::AltModifier);
        QCOMPARE(FocusedControl(), QStringLiteral("ComboBox1"));
    }

    // Enter on an empty field stays; every key marks the study modified.
    void enterOnAnEmptyFieldStays() {
        Enter();
        QCOMPARE(FocusedControl(), QStringLiteral("esistema"));
        QCOMPARE(form_->estado()->text(), QStringLiteral("Modificado"));
    }

    // Leaving the units field copies the measured property into the heading
    // of the responses.
    void unitsExitWritesTheDataHeading() {
        Focus(Control::epmedida);
        Type(QStringLiteral("Altura"));
        QCOMPARE(study_->stgdatos()->CellText(1, 0), QString());
        Focus(Control::ecanad);
        Tab();
        QCOMPARE(study_->stgdatos()->CellText(1, 0), QStringLiteral("Altura"));
    }

    void wrongCalculationTypeIsRefused() {
        Focus(Control::ComboBox1);
        Type(QStringLiteral("regresión"));
        Tab();
        QCOMPARE(dialogs_->messages, QStringList{QStringLiteral("Falta hacer su selección")});
        QCOMPARE(FocusedControl(), QStringLiteral("ComboBox1"));
        QCOMPARE(study_->Thojas()->currentIndex(), 0);
        QCOMPARE(study_->Rules().Study().CalculationType, std::string("regresión"));
    }

    // A failed check on a tab click shows its message once and keeps the page.
    void tabClickAfterAFailedCheckKeepsThePage() {
        Focus(Control::ComboBox1);
        Type(QStringLiteral("x"));
        ClickTab(1);
        QCOMPARE(dialogs_->messages.size(), 1);
        QCOMPARE(study_->Thojas()->currentIndex(), 0);
        QCOMPARE(FocusedControl(), QStringLiteral("ComboBox1"));
    }

    void levelCountChecks_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "Falta capturar el número de niveles.";
        QTest::newRow("x") << "x"
                           << "El valor de captura no es un valor numérico.";
        QTest::newRow("1") << "1"
                           << "Datos fuera de rango, 2-10 número de niveles";
        QTest::newRow("11") << "11"
                            << "Datos fuera de rango, 2-10 número de niveles";
        QTest::newRow("10") << "10"
                            << "";
    }

    void levelCountChecks() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        NextPage();
        Edit(Control::enivel)->selectAll();
        Key(Qt::Key_Delete);
        Type(typed);
        Tab();
        if (message.isEmpty()) {
            QVERIFY(dialogs_->messages.isEmpty());
            QCOMPARE(FocusedControl(), QStringLiteral("bnivel"));
        } else {
            QCOMPARE(dialogs_->messages, QStringList{message});
            QCOMPARE(FocusedControl(), QStringLiteral("enivel"));
        }
    }

    // A count changed without "Aceptar niveles": entering the levels grid
    // says so once and goes back to the count.
    void levelGridEntryWithAChangedCount() {
        NextPage();
        Edit(Control::enivel)->selectAll();
        Type(QStringLiteral("4"));
        Tab(); // to "Aceptar niveles", not pressed
        QCOMPARE(FocusedControl(), QStringLiteral("bnivel"));
        Tab();
        QCOMPARE(dialogs_->messages,
                 QStringList{QStringLiteral("El número de celdas de captura para los niveles, no "
                                            "coincide con el número de niveles especificado.")});
        QCOMPARE(FocusedControl(), QStringLiteral("enivel"));
        QCOMPARE(study_->stgnivel()->columnCount(), 3);
    }

    // In cell mode Tab walks the cells; a key in the last cell switches to
    // leave mode and Tab leaves for "Aceptar replicas por nivel".
    void levelGridTabModes() {
        EnterLevels({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
                    {QStringLiteral("3"), QStringLiteral("2")});
        QCOMPARE(study_->stgnivel()->CurrentCell().column, 3);
        QCOMPARE(study_->stgnivel()->CurrentCell().row, 2);
        QCOMPARE(study_->stgnivel()->Mode(), GridMode::Cell);
        Type(QStringLiteral("4"));
        QCOMPARE(study_->stgnivel()->Mode(), GridMode::Leave);
        Tab();
        QCOMPARE(FocusedControl(), QStringLiteral("botonr"));
        QVERIFY(dialogs_->messages.isEmpty());
        // The exit check put the grid back in cell mode at its first cell.
        QCOMPARE(study_->stgnivel()->Mode(), GridMode::Cell);
        QCOMPARE(study_->stgnivel()->CurrentCell().column, 1);
        QCOMPARE(study_->Rules().Study().LevelCell(3, 2), std::string("4"));
        QCOMPARE(study_->stgnivel()->CellText(3, 2), QStringLiteral("4"));
    }

    // Tab from the last control of a page goes round within the page.
    void tabStaysOnThePage() {
        NextPage();
        Enter();
        QCOMPARE(FocusedControl(), QStringLiteral("bnivel"));
        study_->ControlWidget(Control::botonr)->setFocus();
        QTRY_COMPARE(FocusedControl(), QStringLiteral("botonr"));
        Tab();
        QCOMPARE(FocusedControl(), QStringLiteral("enivel"));
        QCOMPARE(study_->Thojas()->currentIndex(), 1);
    }

    // An empty level cell: the exit check names it once and keeps the focus.
    void levelGridExitWithAnEmptyCell() {
        EnterLevels({QStringLiteral("1"), QString(), QStringLiteral("3")},
                    {QStringLiteral("3"), QStringLiteral("2")});
        Type(QStringLiteral("4"));
        Enter();
        QCOMPARE(dialogs_->messages, QStringList{QStringLiteral("Falta capturar algún dato")});
        QCOMPARE(FocusedControl(), QStringLiteral("stgnivel"));
    }

    // Escape in a cell keeps what was typed.
    void escapeKeepsTheTypedCell() {
        NextPage();
        Enter();
        Tab();
        QCOMPARE(FocusedControl(), QStringLiteral("stgnivel"));
        Type(QStringLiteral("7"));
        Key(Qt::Key_Escape);
        QCOMPARE(study_->Rules().Study().LevelCell(1, 1), std::string("7"));
        Tab();
        QCOMPARE(study_->stgnivel()->CellText(1, 1), QStringLiteral("7"));
    }

    // Replicate counts 3, 2, 4 lay out nine labelled rows; a count that is
    // not whole is refused with a message of its own.
    void responsesLayout_data() {
        QTest::addColumn<QStringList>("replicates");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("rows");
        QTest::newRow("3, 2, 4") << QStringList{"3", "2", "4"} << QString() << 9;
        QTest::newRow("2.5") << QStringList{"3", "2.5", "4"}
                             << "La replicación del nivel 2 no es un número entero." << 9;
        QTest::newRow("empty") << QStringList{"3", "", "4"}
                               << "Falta capturar la replica del nivel 2" << 9;
    }

    void responsesLayout() {
        QFETCH(QStringList, replicates);
        QFETCH(QString, message);
        QFETCH(int, rows);
        // Cells straight into the study: an empty one would stop the levels
        // grid's own exit check first.
        NextPage();
        Key(Qt::Key_Return);
        Key(Qt::Key_Space);
        for (int level = 1; level <= 3; ++level) {
            study_->Rules().SetLevelCell(level, 1, std::to_string(level));
            study_->Rules().SetLevelCell(level, 2, replicates[level - 1].toStdString());
        }
        QCOMPARE(FocusedControl(), QStringLiteral("bnivel"));
        NextPage();
        StudyGrid* data = study_->stgdatos();
        if (message.isEmpty()) {
            QVERIFY(dialogs_->messages.isEmpty());
            QCOMPARE(FocusedControl(), QStringLiteral("stgdatos"));
            QCOMPARE(data->CellText(0, 1), QStringLiteral("Nivel 1 , Replica 1"));
            QCOMPARE(data->CellText(0, 4), QStringLiteral("Nivel 2 , Replica 1"));
            QCOMPARE(data->CellText(0, 9), QStringLiteral("Nivel 3 , Replica 4"));
            QVERIFY(study_->pmnudunet()->isEnabled());
        } else {
            QCOMPARE(dialogs_->messages, QStringList{message});
            QCOMPARE(study_->Thojas()->currentIndex(), 1);
            QCOMPARE(FocusedControl(), QStringLiteral("stgnivel"));
            QVERIFY(!study_->pmnudunet()->isEnabled());
        }
        QCOMPARE(data->rowCount(), rows);
    }

    // An empty response when the user turns the page: one message, the data
    // page stays, the focus goes back to the grid.
    void emptyResponseKeepsTheDataPage() {
        study_->Rules().LoadStudy([] {
            CalibrationStudy s = CalibrationStudy::MakeNew();
            s.Levels = {{"Nivel 1", "1", "1"}, {"Nivel 2", "2", "1"}, {"Nivel 3", "3", "1"}};
            return s;
        }());
        NextPage();
        Key(Qt::Key_Return);
        NextPage();
        QCOMPARE(FocusedControl(), QStringLiteral("stgdatos"));
        Type(QStringLiteral("5"));
        QVERIFY(study_->pmnudunet()->isEnabled());
        ClickTab(0);
        QCOMPARE(dialogs_->messages, QStringList{QStringLiteral("Falta capturar el 2 º dato .")});
        QCOMPARE(study_->Thojas()->currentIndex(), 2);
        QCOMPARE(FocusedControl(), QStringLiteral("stgdatos"));
        // A response that is not a number.
        Tab();
        Type(QStringLiteral("abc"));
        Tab();
        Type(QStringLiteral("6"));
        NextPage();
        QCOMPARE(dialogs_->messages.size(), 2);
        QCOMPARE(dialogs_->messages[1], QStringLiteral("El dato 2 no es un valor numérico."));
        QCOMPARE(study_->Thojas()->currentIndex(), 2);
    }

    // A failed entry check of the responses grid moves the focus to the
    // levels page; the grid's own exit check does not answer it.
    void entryFailureDoesNotStartTheExitCheck() {
        NextPage();
        Key(Qt::Key_Return);
        NextPage();
        QCOMPARE(dialogs_->messages,
                 QStringList{QStringLiteral("Falta capturar el valor del nivel 1")});
        QCOMPARE(study_->Thojas()->currentIndex(), 1);
        QCOMPARE(FocusedControl(), QStringLiteral("stgnivel"));
    }
};

QTEST_MAIN(StudyWindowTest)
#include "study_window_test.moc"
