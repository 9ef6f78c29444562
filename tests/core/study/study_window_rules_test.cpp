#include "study/study_window_rules.h"

#include "fake_study_view.h"
#include "study/level_check.h"
#include "study/study_messages.h"

#include <gtest/gtest.h>

#include <functional>

namespace valdex {
namespace {

using testing::FakeStudyHost;
using testing::FakeStudyView;

constexpr const char* kModified = "Modificado";
constexpr const char* kMismatch =
    "El número de celdas de captura para los niveles, no coincide con "
    "el número de niveles especificado.";

// Every cell of the two grids, to see that a refused paste changes nothing.
std::string SerializedCells(const CalibrationStudy& study) {
    std::string cells;
    for (int c = 0; c <= study.LevelColumns(); ++c)
        for (int r = 0; r <= 2; ++r)
            cells += study.LevelCell(c, r) + "|";
    for (int r = 0; r <= study.ResponseRows(); ++r)
        cells += study.ResponseCell(1, r) + "|";
    return cells;
}

class StudyWindowRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.rules = &rules;
        rules.FormCreate();
        view.redraws.clear();
    }

    // Level count, "Aceptar niveles", then the cells (value, replicates).
    void SetLevels(const std::vector<std::pair<std::string, std::string>>& levels) {
        rules.SetFieldText(Control::enivel, std::to_string(levels.size()));
        rules.bnivelClick();
        for (std::size_t i = 0; i < levels.size(); ++i) {
            rules.SetLevelCell(static_cast<int>(i) + 1, 1, levels[i].first);
            rules.SetLevelCell(static_cast<int>(i) + 1, 2, levels[i].second);
        }
    }

    std::vector<std::string> Labels() const {
        std::vector<std::string> labels;
        for (const ResponseRow& row : rules.Study().Responses)
            labels.push_back(row.ResponseLabel);
        return labels;
    }

    FakeStudyHost host;
    FakeStudyView view;
    StudyWindowRules rules{view, host};
};

TEST_F(StudyWindowRulesTest, CreationLaysOutTheNewStudy) {
    FakeStudyView fresh;
    StudyWindowRules created(fresh, host);
    created.FormCreate();
    EXPECT_EQ(fresh.caption, "Nuevo");
    EXPECT_EQ(created.Caption(), "Nuevo");
    EXPECT_EQ((fresh.widths[{Grid::stgdatos, 0}]), 140);
    ASSERT_EQ(fresh.shown.LevelColumns(), 3);
    EXPECT_EQ(fresh.shown.LevelCell(3, 0), "Nivel 3");
    EXPECT_EQ(fresh.shown.LevelCell(0, 2), "Replicación >>");
    EXPECT_EQ(fresh.shown.ResponseRows(), 9);
    EXPECT_EQ(fresh.shown.ResponseCell(0, 1), "");
    EXPECT_EQ(host.estado, "");
    EXPECT_TRUE(host.events.empty());
}

TEST_F(StudyWindowRulesTest, EnteringTheNotebookGoesToTheFirstField) {
    view.page = 2;
    view.focus = Control::stgdatos;
    rules.ThojasEnter();
    EXPECT_EQ(view.page, 0);
    EXPECT_EQ(view.focus, Control::esistema);
}

TEST_F(StudyWindowRulesTest, EnterMovesToTheSuccessorOfAFilledField) {
    struct Case {
        Control field;
        std::function<void(char)> keyPress;
        Control successor;
    };
    const Case cases[] = {
        {Control::esistema, [&](char k) { rules.esistemaKeyPress(k); }, Control::eanalista},
        {Control::eanalista, [&](char k) { rules.eanalistaKeyPress(k); }, Control::efecha},
        {Control::efecha, [&](char k) { rules.efechaKeyPress(k); }, Control::ecanad},
        {Control::ecanad, [&](char k) { rules.ecanadKeyPress(k); }, Control::epmedida},
        {Control::epmedida, [&](char k) { rules.epmedidaKeyPress(k); }, Control::ecanad},
        {Control::enivel, [&](char k) { rules.enivelKeyPress(k); }, Control::bnivel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::ControlName(c.field));
        rules.SetFieldText(c.field, "");
        view.focus = c.field;
        host.estado = "";
        c.keyPress(kEnterKey); // empty: the focus stays, the mark is set
        EXPECT_EQ(view.focus, c.field);
        EXPECT_EQ(host.estado, kModified);

        rules.SetFieldText(c.field, "4");
        host.estado = "";
        c.keyPress('a'); // any other key: no move
        EXPECT_EQ(view.focus, c.field);
        EXPECT_EQ(host.estado, kModified);
        c.keyPress(kEnterKey);
        EXPECT_EQ(view.focus, c.successor);
    }
}

TEST_F(StudyWindowRulesTest, EveryKeySetsTheModifiedMark) {
    SetLevels({{"1", "1"}, {"2", "1"}});
    const std::function<void()> keys[] = {
        [&] { rules.esistemaKeyPress('\b'); },        [&] { rules.eanalistaKeyPress('x'); },
        [&] { rules.efechaKeyPress('1'); },           [&] { rules.ecanadKeyPress('m'); },
        [&] { rules.epmedidaKeyPress(' '); },         [&] { rules.enivelKeyPress('3'); },
        [&] { rules.stgnivelKeyPress('1', {1, 1}); }, [&] { rules.stgdatosKeyPress('1', {1, 1}); },
        [&] { rules.ComboBox1Change("Regresión"); },
    };
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        SCOPED_TRACE(i);
        host.estado = " ";
        keys[i]();
        EXPECT_EQ(host.estado, kModified);
    }
}

TEST_F(StudyWindowRulesTest, LeavingFieldsAndLayingOutDoNotSetTheMark) {
    SetLevels({{"1", "1"}, {"2", "1"}});
    rules.SetFieldText(Control::ComboBox1, "Regresión");
    const std::function<void()> actions[] = {
        [&] { rules.ecanadExit(); },    [&] { rules.enivelExit(); },
        [&] { rules.ComboBox1Exit(); }, [&] { rules.bnivelClick(); },
        [&] { rules.stgnivelEnter(); }, [&] { rules.stgnivelExit(); },
        [&] { rules.stgdatosEnter(); },
    };
    for (std::size_t i = 0; i < std::size(actions); ++i) {
        SCOPED_TRACE(i);
        host.estado = "";
        actions[i]();
        EXPECT_EQ(host.estado, "");
    }
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(StudyWindowRulesTest, CalculationTypeChangeEnablesSaving) {
    rules.ComboBox1Change("Regr");
    EXPECT_EQ(rules.Study().CalculationType, "Regr");
    EXPECT_EQ(host.estado, kModified);
    EXPECT_EQ(host.events, std::vector<std::string>{"CalculationTypeChanged"});
}

TEST_F(StudyWindowRulesTest, LeavingTheCalculationType) {
    struct Case {
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {"Regresión", true}, {"Ordenada al Origen", true}, {"regresión", false},
        {"", false},         {"Regresión ", false},        {"Ordenada al origen", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        view.messages.clear();
        view.page = 1;
        view.focus = Control::ecanad;
        rules.SetFieldText(Control::ComboBox1, c.text);
        rules.ComboBox1Exit();
        EXPECT_EQ(view.page, 0);
        if (c.accepted) {
            EXPECT_TRUE(view.messages.empty());
            EXPECT_EQ(view.focus, Control::esistema);
        } else {
            EXPECT_EQ(view.messages, std::vector<std::string>{"Falta hacer su selección"});
            EXPECT_EQ(view.focus, Control::ComboBox1);
        }
        EXPECT_EQ(rules.Study().CalculationType, c.text); // kept as typed
    }
}

TEST_F(StudyWindowRulesTest, LeavingTheUnitsCopiesTheMeasuredPropertyHeading) {
    rules.SetFieldText(Control::epmedida, "Área");
    EXPECT_EQ(rules.Study().ResponsesHeading, "");
    rules.ecanadExit();
    EXPECT_EQ(rules.Study().ResponsesHeading, "Área");
    EXPECT_EQ(view.shown.ResponseCell(1, 0), "Área");
}

TEST_F(StudyWindowRulesTest, LeavingTheLevelCount) {
    struct Case {
        std::string text;
        std::string message; // empty: passes
    };
    const Case cases[] = {
        {"", "Falta capturar el número de niveles."},
        {"x", "El valor de captura no es un valor numérico."},
        {"2.", "El valor de captura no es un valor numérico."},
        {"1", "Datos fuera de rango, 2-10 número de niveles"},
        {"11", "Datos fuera de rango, 2-10 número de niveles"},
        {"0", "Datos fuera de rango, 2-10 número de niveles"},
        {"-3", "Datos fuera de rango, 2-10 número de niveles"},
        {"2", ""},
        {"10", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        view.messages.clear();
        view.selectedPages.clear();
        view.focus = Control::stgnivel;
        rules.SetFieldText(Control::enivel, c.text);
        rules.enivelExit();
        if (c.message.empty()) {
            EXPECT_TRUE(view.messages.empty());
            EXPECT_EQ(view.focus, Control::bnivel);
        } else {
            EXPECT_EQ(view.messages, std::vector<std::string>{c.message});
            EXPECT_EQ(view.focus, Control::enivel);
        }
        EXPECT_TRUE(view.selectedPages.empty());
    }
}

TEST_F(StudyWindowRulesTest, AcceptingLevelsResizesAndHeadsTheColumns) {
    CalibrationStudy loaded = CalibrationStudy::MakeNew();
    loaded.Levels[0] = {"     Nivel 1", "1", "3"};
    loaded.Levels[1] = {"     Nivel 2", "2", "3"};
    rules.LoadStudy(loaded);
    rules.SetFieldText(Control::enivel, "5");
    EXPECT_EQ(rules.Study().LevelColumns(), 3); // typing alone changes nothing
    rules.bnivelClick();
    ASSERT_EQ(rules.Study().LevelColumns(), 5);
    EXPECT_EQ(rules.Study().LevelCell(1, 0), "Nivel 1");
    EXPECT_EQ(rules.Study().LevelCell(5, 0), "Nivel 5");
    EXPECT_EQ(rules.Study().LevelCell(2, 1), "2"); // remaining cells keep their text
    EXPECT_EQ(rules.Study().LevelCell(2, 2), "3");
    EXPECT_EQ(view.shown.LevelColumns(), 5);

    rules.SetFieldText(Control::enivel, "2");
    rules.bnivelClick();
    EXPECT_EQ(rules.Study().LevelColumns(), 2);
    EXPECT_EQ(rules.Study().LevelCell(1, 1), "1");
    EXPECT_EQ(host.estado, "");
}

TEST_F(StudyWindowRulesTest, AcceptingARefusedLevelCountDoesNothing) {
    for (const char* text : {"", "x", "1", "11", "-5"}) {
        SCOPED_TRACE(text);
        rules.SetFieldText(Control::enivel, text);
        rules.bnivelClick();
        EXPECT_EQ(rules.Study().LevelColumns(), 3);
    }
}

TEST_F(StudyWindowRulesTest, EnteringAGridWithUnacceptedLevelCount) {
    rules.SetFieldText(Control::enivel, "4");
    for (auto enter : {&StudyWindowRules::stgnivelEnter, &StudyWindowRules::stgdatosEnter}) {
        view.messages.clear();
        view.page = 0;
        view.focus = Control::esistema;
        (rules.*enter)();
        EXPECT_EQ(view.messages, std::vector<std::string>{kMismatch});
        EXPECT_EQ(view.page, 1);
        EXPECT_EQ(view.focus, Control::enivel);
    }
    EXPECT_EQ(rules.Study().ResponseRows(), 9);
    EXPECT_TRUE(host.events.empty());
}

TEST_F(StudyWindowRulesTest, EnteringAGridWithANonIntegerLevelCountEndsInTheErrorBox) {
    rules.SetFieldText(Control::enivel, "x");
    rules.stgnivelEnter();
    rules.stgdatosEnter();
    EXPECT_EQ(host.errorBoxes, (std::vector<std::string>{"'x' is not a valid integer value.",
                                                         "'x' is not a valid integer value."}));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.selectedPages.empty());
    EXPECT_TRUE(view.focusMoves.empty());
    EXPECT_TRUE(host.events.empty());
}

TEST_F(StudyWindowRulesTest, TypingInTheLevelsGridSwitchesTabModes) {
    SetLevels({{"1", "3"}, {"2", "3"}, {"3", "3"}});
    struct Case {
        char key;
        GridCell cell;
        bool changesMode;
        GridMode mode;
        bool leaves;
    };
    const Case cases[] = {
        {'1', {1, 1}, false, GridMode::Cell, false},
        {'1', {2, 2}, false, GridMode::Cell, false},
        {'1', {3, 1}, true, GridMode::Cell, false},
        {kEnterKey, {3, 1}, true, GridMode::Cell, false},
        {'1', {3, 2}, true, GridMode::Leave, false},
        {kEnterKey, {3, 2}, true, GridMode::Leave, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cell.column) + "," + std::to_string(c.cell.row));
        view.modes.clear();
        view.focus = Control::stgnivel;
        rules.stgnivelKeyPress(c.key, c.cell);
        EXPECT_EQ(view.modes.count(Grid::stgnivel) == 1, c.changesMode);
        if (c.changesMode) {
            EXPECT_EQ(view.modes[Grid::stgnivel], c.mode);
        }
        EXPECT_EQ(view.focus, c.leaves ? Control::botonr : Control::stgnivel);
    }
}

TEST_F(StudyWindowRulesTest, EnterInTheLastLevelCellRunsTheExitCheck) {
    SetLevels({{"1", "3"}, {"2", ""}, {"3", "3"}});
    ASSERT_TRUE(view.UserFocus(Control::stgnivel));
    rules.KeyPress(Control::stgnivel, kEnterKey, {3, 2});
    EXPECT_EQ(view.messages, std::vector<std::string>{"Falta capturar algún dato"});
    EXPECT_EQ(view.focus, Control::stgnivel);
    // The check made cell (1, 1) current; the key then left the grid in
    // leave mode.
    EXPECT_EQ(view.modes[Grid::stgnivel], GridMode::Leave);
    EXPECT_EQ(view.currentCells[Grid::stgnivel].column, 1);
    EXPECT_EQ(view.currentCells[Grid::stgnivel].row, 1);
}

TEST_F(StudyWindowRulesTest, LeavingTheLevelsGrid) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> levels;
        std::string message; // empty: passes
    };
    const Case cases[] = {
        {{{"1", "3"}, {"2", "3"}, {"3", "3"}}, ""},
        {{{"1", "2.5"}, {"2", "3"}}, ""}, // a decimal count passes here
        {{{"1", "3"}, {"", "3"}}, "Falta capturar algún dato"},
        {{{"1", "3"}, {"2", "abc"}}, "Algún dato no es un valor numérico."},
        // Column by column, value before count.
        {{{"1", ""}, {"abc", "3"}}, "Falta capturar algún dato"},
        {{{"1", "x"}, {"", "3"}}, "Algún dato no es un valor numérico."},
        {{{"1", " "}, {"2", "3"}}, "Algún dato no es un valor numérico."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SetLevels(c.levels);
        view.messages.clear();
        view.selectedPages.clear();
        view.focus = Control::esistema;
        rules.stgnivelExit();
        if (c.message.empty()) {
            EXPECT_TRUE(view.messages.empty());
            EXPECT_EQ(view.focus, Control::botonr);
        } else {
            EXPECT_EQ(view.messages, std::vector<std::string>{c.message});
            EXPECT_EQ(view.focus, Control::stgnivel);
        }
        EXPECT_TRUE(view.selectedPages.empty());
    }
}

TEST_F(StudyWindowRulesTest, LayoutOfCountsThreeTwoFour) {
    SetLevels({{"1", "3"}, {"2", "2"}, {"3", "4"}});
    rules.stgdatosEnter();
    EXPECT_TRUE(view.messages.empty());
    const std::vector<std::string> expected = {
        "Nivel 1 , Replica 1", "Nivel 1 , Replica 2", "Nivel 1 , Replica 3",
        "Nivel 2 , Replica 1", "Nivel 2 , Replica 2", "Nivel 3 , Replica 1",
        "Nivel 3 , Replica 2", "Nivel 3 , Replica 3", "Nivel 3 , Replica 4"};
    EXPECT_EQ(Labels(), expected);
    EXPECT_EQ(view.shown.ResponseCell(0, 6), "Nivel 3 , Replica 1");
    EXPECT_EQ(host.events, std::vector<std::string>{"DataPageEntered"});
    EXPECT_EQ(host.estado, "");
}

TEST_F(StudyWindowRulesTest, LayoutGrowsAndShrinksTheGrid) {
    SetLevels({{"1", "3"}, {"2", "3"}, {"3", "3"}, {"4", "1"}});
    rules.stgdatosEnter();
    EXPECT_EQ(rules.Study().ResponseRows(), 10);
    EXPECT_EQ(Labels().back(), "Nivel 4 , Replica 1");
    SetLevels({{"1", "0"}, {"2", "2"}});
    rules.stgdatosEnter();
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Nivel 2 , Replica 1", "Nivel 2 , Replica 2"}));
    SetLevels({{"1", "0"}, {"2", "0"}});
    rules.stgdatosEnter();
    EXPECT_EQ(rules.Study().ResponseRows(), 0);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(StudyWindowRulesTest, RelabellingKeepsResponsesInTheirRows) {
    SetLevels({{"1", "3"}, {"2", "3"}, {"3", "3"}});
    rules.stgdatosEnter();
    for (int r = 1; r <= 9; ++r)
        rules.SetResponseCell(r, "r" + std::to_string(r));
    rules.SetLevelCell(1, 2, "2");
    rules.SetLevelCell(3, 2, "5");
    rules.stgdatosEnter();
    ASSERT_EQ(rules.Study().ResponseRows(), 10);
    EXPECT_EQ(rules.Study().ResponseCell(0, 3), "Nivel 2 , Replica 1");
    EXPECT_EQ(rules.Study().ResponseCell(1, 3), "r3");
    EXPECT_EQ(rules.Study().ResponseCell(1, 9), "r9");
    EXPECT_EQ(rules.Study().ResponseCell(1, 10), "");
}

TEST_F(StudyWindowRulesTest, LayoutRefusals) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> levels;
        std::string message;
    };
    const Case cases[] = {
        {{{"1", "3"}, {"2", ""}, {"3", "3"}}, "Falta capturar la replica del nivel 2"},
        {{{"1", "3"}, {"", "3"}, {"3", ""}}, "Falta capturar el valor del nivel 2"},
        {{{"1", "3"}, {"2", "3"}, {"", ""}}, "Falta capturar el valor del nivel 3"},
        // Before any count is read, every cell must be there.
        {{{"1", "2.5"}, {"2", "3"}, {"3", ""}}, "Falta capturar la replica del nivel 3"},
        {{{"1", "3"}, {"2", "2.5"}}, "La replicación del nivel 2 no es un número entero."},
        {{{"1", "3"}, {"2", "1e1"}}, "La replicación del nivel 2 no es un número entero."},
        {{{"1", "-1"}, {"2", "5"}}, "La replicación del nivel 1 es negativa."},
        {{{"1", "60000"}, {"2", "60000"}},
         "El número total de replicas no puede ser mayor que 100000."},
        {{{"1", "2147483647"}, {"2", "2147483647"}},
         "El número total de replicas no puede ser mayor que 100000."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SetLevels(c.levels);
        view.messages.clear();
        host.events.clear();
        view.page = 2;
        view.focus = Control::stgdatos;
        rules.stgdatosEnter();
        EXPECT_EQ(view.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(view.page, 1);
        EXPECT_EQ(view.focus, Control::stgnivel);
        // Nothing laid out, nothing enabled.
        EXPECT_EQ(rules.Study().ResponseRows(), 9);
        EXPECT_EQ(Labels(), std::vector<std::string>(9));
        EXPECT_TRUE(host.events.empty());
    }
}

TEST_F(StudyWindowRulesTest, TypingInTheResponsesGrid) {
    SetLevels({{"1", "2"}, {"2", "2"}});
    rules.stgdatosEnter();
    host.events.clear();
    rules.stgdatosKeyPress('1', {1, 1});
    EXPECT_EQ(view.modes[Grid::stgdatos], GridMode::Cell);
    rules.stgdatosKeyPress('1', {1, 4});
    EXPECT_EQ(view.modes[Grid::stgdatos], GridMode::Leave);
    rules.stgdatosKeyPress('1', {1, 3});
    EXPECT_EQ(view.modes[Grid::stgdatos], GridMode::Cell);
    // Every key offers the calculation, complete or not.
    EXPECT_EQ(host.events, std::vector<std::string>(3, "DataKeyTyped"));
}

TEST_F(StudyWindowRulesTest, LeavingTheResponsesGrid) {
    struct Case {
        std::string row4;
        std::string message;
        int page; // -1: no page selected
    };
    const Case cases[] = {
        {"8.1", "", -1},
        {"", "Falta capturar el 4 º dato .", 2},
        {"abc", "El dato 4 no es un valor numérico.", -1},
        {"4,0", "", -1}, // either decimal mark
        {"4;0", "El dato 4 no es un valor numérico.", -1},
        {"-1.5e2", "", -1},
    };
    SetLevels({{"1", "3"}, {"2", "3"}});
    rules.stgdatosEnter();
    for (int r = 1; r <= 6; ++r)
        rules.SetResponseCell(r, std::to_string(r));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row4);
        rules.SetResponseCell(4, c.row4);
        view.messages.clear();
        view.selectedPages.clear();
        view.focus = Control::esistema;
        rules.stgdatosExit();
        EXPECT_EQ(view.modes[Grid::stgdatos], GridMode::Cell);
        EXPECT_EQ(view.currentCells[Grid::stgdatos].row, 1);
        if (c.message.empty()) {
            EXPECT_TRUE(view.messages.empty());
            EXPECT_EQ(view.focus, Control::esistema);
        } else {
            EXPECT_EQ(view.messages, std::vector<std::string>{c.message});
            EXPECT_EQ(view.focus, Control::stgdatos);
        }
        EXPECT_EQ(view.selectedPages, c.page < 0 ? std::vector<int>{} : std::vector<int>{c.page});
    }
}

TEST_F(StudyWindowRulesTest, TheFirstFailingResponseIsReported) {
    SetLevels({{"1", "2"}, {"2", "2"}});
    rules.stgdatosEnter();
    rules.SetResponseCell(1, "1");
    rules.SetResponseCell(2, "x");
    rules.stgdatosExit();
    EXPECT_EQ(view.messages, std::vector<std::string>{"El dato 2 no es un valor numérico."});
}

// ----- Checks driven by focus changes -----

TEST_F(StudyWindowRulesTest, AFailedEntryDoesNotStartTheGridsExitCheck) {
    // The responses are empty, so the exit check of the responses grid would
    // fail too and send the focus back, and so on.
    rules.SetFieldText(Control::enivel, "4");
    view.UserFocus(Control::stgdatos);
    EXPECT_EQ(view.messages, std::vector<std::string>{kMismatch});
    EXPECT_EQ(view.page, 1);
    EXPECT_EQ(view.focus, Control::enivel);
}

TEST_F(StudyWindowRulesTest, AFailedExitDoesNotStartTheEntryCheckOfItsOwnControl) {
    // The levels grid has an empty cell and a count not yet accepted: its exit
    // check sends the focus back into it, whose entry check would send it to
    // the count, whose leaving would run the exit check again.
    SetLevels({{"1", "3"}, {"2", ""}, {"3", "3"}});
    ASSERT_TRUE(view.UserFocus(Control::stgnivel));
    rules.SetFieldText(Control::enivel, "4");
    EXPECT_FALSE(view.UserFocus(Control::stgdatos));
    EXPECT_EQ(view.messages, std::vector<std::string>{"Falta capturar algún dato"});
    EXPECT_EQ(view.focus, Control::stgnivel);
    EXPECT_EQ(rules.Study().ResponseRows(), 9); // the responses grid was never entered
}

TEST_F(StudyWindowRulesTest, ALevelCheckFailureDoesNotStartTheExitCheckOfTheFocusedGrid) {
    SetLevels({{"1", "3"}, {"2", "3"}, {"3", "3"}});
    view.UserFocus(Control::stgdatos); // laid out, responses empty
    ASSERT_TRUE(view.messages.empty());
    rules.SetFieldText(Control::enivel, "11");
    rules.ReportLevelCheckFailure("Datos fuera de rango, 2-10 Número de Niveles");
    EXPECT_EQ(view.messages,
              std::vector<std::string>{"Datos fuera de rango, 2-10 Número de Niveles"});
    EXPECT_EQ(view.page, 1);
    EXPECT_EQ(view.focus, Control::enivel);
}

TEST_F(StudyWindowRulesTest, ChecksRunAgainOnceTheReportIsOver) {
    rules.SetFieldText(Control::enivel, "4");
    view.UserFocus(Control::stgdatos);
    ASSERT_EQ(view.messages.size(), 1u);
    // The user now leaves the count as it is: its own exit check runs.
    rules.SetFieldText(Control::enivel, "");
    view.UserFocus(Control::stgnivel);
    EXPECT_EQ(view.messages.back(), "Falta capturar el número de niveles.");
    EXPECT_EQ(view.focus, Control::enivel);
    EXPECT_EQ(view.messages.size(), 2u);
}

TEST_F(StudyWindowRulesTest, TabbingThroughAValidStudyShowsNoMessage) {
    SetLevels({{"1", "3"}, {"2", "3"}, {"3", "3"}});
    view.UserFocus(Control::enivel);
    view.UserFocus(Control::bnivel);
    view.UserFocus(Control::stgnivel);
    view.UserFocus(Control::botonr);
    view.UserFocus(Control::stgdatos);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(rules.Study().ResponseRows(), 9);
    EXPECT_EQ(host.events, std::vector<std::string>{"DataPageEntered"});
}

// Every move between two controls of the levels page, in three states of
// the study. A click and Tab are the same move for the rules. A passing exit
// check that moves the focus itself (the level count to "Aceptar niveles",
// the levels grid to "Aceptar replicas por nivel") ends the user's move
// there, with no message and no entry check of the clicked control.
TEST_F(StudyWindowRulesTest, EveryMoveBetweenTheControlsOfTheLevelsPage) {
    enum class State { Consistent, CountNotAccepted, EmptyCell };
    struct Case {
        State state;
        Control from, to;
        const char* message; // nullptr: none
        Control focus;       // where the focus ends
    };
    using C = Control;
    const char* missing = "Falta capturar algún dato";
    const Case cases[] = {
        {State::Consistent, C::enivel, C::bnivel, nullptr, C::bnivel},
        {State::Consistent, C::enivel, C::stgnivel, nullptr, C::bnivel},
        {State::Consistent, C::enivel, C::botonr, nullptr, C::bnivel},
        {State::Consistent, C::bnivel, C::enivel, nullptr, C::enivel},
        {State::Consistent, C::bnivel, C::stgnivel, nullptr, C::stgnivel},
        {State::Consistent, C::bnivel, C::botonr, nullptr, C::botonr},
        {State::Consistent, C::stgnivel, C::enivel, nullptr, C::botonr},
        {State::Consistent, C::stgnivel, C::bnivel, nullptr, C::botonr},
        {State::Consistent, C::stgnivel, C::botonr, nullptr, C::botonr},
        {State::Consistent, C::botonr, C::enivel, nullptr, C::enivel},
        {State::Consistent, C::botonr, C::bnivel, nullptr, C::bnivel},
        {State::Consistent, C::botonr, C::stgnivel, nullptr, C::stgnivel},
        // "4" typed over "3" without "Aceptar niveles".
        {State::CountNotAccepted, C::enivel, C::bnivel, nullptr, C::bnivel},
        {State::CountNotAccepted, C::enivel, C::stgnivel, nullptr, C::bnivel},
        {State::CountNotAccepted, C::enivel, C::botonr, nullptr, C::bnivel},
        {State::CountNotAccepted, C::bnivel, C::enivel, nullptr, C::enivel},
        {State::CountNotAccepted, C::bnivel, C::stgnivel, kMismatch, C::enivel},
        {State::CountNotAccepted, C::bnivel, C::botonr, nullptr, C::botonr},
        {State::CountNotAccepted, C::stgnivel, C::enivel, nullptr, C::botonr},
        {State::CountNotAccepted, C::stgnivel, C::bnivel, nullptr, C::botonr},
        {State::CountNotAccepted, C::stgnivel, C::botonr, nullptr, C::botonr},
        {State::CountNotAccepted, C::botonr, C::enivel, nullptr, C::enivel},
        {State::CountNotAccepted, C::botonr, C::bnivel, nullptr, C::bnivel},
        {State::CountNotAccepted, C::botonr, C::stgnivel, kMismatch, C::enivel},
        // The replicate count of level 2 is empty.
        {State::EmptyCell, C::enivel, C::stgnivel, nullptr, C::bnivel},
        {State::EmptyCell, C::bnivel, C::stgnivel, nullptr, C::stgnivel},
        {State::EmptyCell, C::stgnivel, C::enivel, missing, C::stgnivel},
        {State::EmptyCell, C::stgnivel, C::bnivel, missing, C::stgnivel},
        {State::EmptyCell, C::stgnivel, C::botonr, missing, C::stgnivel},
        {State::EmptyCell, C::botonr, C::stgnivel, nullptr, C::stgnivel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(testing::ControlName(c.from)) + " -> " +
                     testing::ControlName(c.to) + " in state " +
                     std::to_string(static_cast<int>(c.state)));
        FakeStudyHost moveHost;
        FakeStudyView moveView;
        StudyWindowRules moveRules(moveView, moveHost);
        moveView.rules = &moveRules;
        moveRules.FormCreate();
        moveRules.SetFieldText(Control::enivel, "3");
        moveRules.bnivelClick();
        for (int i = 1; i <= 3; ++i) {
            moveRules.SetLevelCell(i, 1, std::to_string(i));
            moveRules.SetLevelCell(i, 2, c.state == State::EmptyCell && i == 2 ? "" : "3");
        }
        ASSERT_TRUE(moveView.UserFocus(c.from)); // from nowhere: no exit check
        ASSERT_TRUE(moveView.messages.empty());
        if (c.state == State::CountNotAccepted) moveRules.SetFieldText(Control::enivel, "4");

        const bool stood = moveView.UserFocus(c.to);
        const std::vector<std::string> expected =
            c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(moveView.messages, expected);
        EXPECT_EQ(std::string(testing::ControlName(moveView.focus)), testing::ControlName(c.focus));
        EXPECT_EQ(moveRules.ActiveControl(), c.focus);
        EXPECT_EQ(stood, c.focus == c.to);
    }
}

TEST_F(StudyWindowRulesTest, TurningThePageAfterAPassingCheckThatMovedTheFocus) {
    // Level count "3": its exit check passes and sends the focus to
    // "Aceptar niveles"; the page still turns.
    ASSERT_TRUE(view.UserFocus(Control::enivel));
    EXPECT_TRUE(view.UserTurnsPage());
    EXPECT_TRUE(view.messages.empty());
    // A failing check keeps the page.
    ASSERT_TRUE(view.UserFocus(Control::enivel));
    rules.SetFieldText(Control::enivel, "1");
    EXPECT_FALSE(view.UserTurnsPage());
    EXPECT_EQ(view.messages,
              std::vector<std::string>{"Datos fuera de rango, 2-10 número de niveles"});
    EXPECT_EQ(rules.ActiveControl(), Control::enivel);
}

TEST_F(StudyWindowRulesTest, EveryUserEditSetsTheModifiedMark) {
    rules.FieldEdited(Control::esistema, "pegado");
    EXPECT_EQ(host.estado, kModified);
    EXPECT_EQ(rules.Study().MethodName, "pegado");
    host.estado = "";
    rules.LevelCellEdited(1, 1, "2,5");
    EXPECT_EQ(host.estado, kModified);
    EXPECT_EQ(rules.Study().LevelCell(1, 1), "2,5");
    host.estado = "";
    rules.ResponseCellEdited(2, "0.4");
    EXPECT_EQ(host.estado, kModified);
    EXPECT_EQ(rules.Study().ResponseCell(1, 2), "0.4");
    // Storing what a file or a redraw holds is not an edit.
    host.estado = "";
    rules.SetFieldText(Control::eanalista, "x");
    EXPECT_EQ(host.estado, "");
}

// ----- Blocks pasted from a spreadsheet -----

TEST_F(StudyWindowRulesTest, PastingABlockIntoTheGrids) {
    struct Case {
        const char* name;
        Grid grid;
        GridCell at;
        std::string text;
        const char* message; // nullptr: accepted
    };
    const Case cases[] = {
        {"levels, whole grid", Grid::stgnivel, {1, 1}, "0,5\t1\t1.5\n3\t3\t3\n", nullptr},
        {"levels, from level 2", Grid::stgnivel, {2, 1}, "1\t1.5\n", nullptr},
        {"levels, one column too many",
         Grid::stgnivel,
         {1, 1},
         "1\t2\t3\t4\n",
         "El bloque pegado no cabe en la tabla de niveles: tiene 1 fila y 4 columnas, y desde "
         "la celda elegida caben 2 filas y 3 columnas."},
        {"levels, a third row",
         Grid::stgnivel,
         {1, 1},
         "1\n3\n9\n",
         "El bloque pegado no cabe en la tabla de niveles: tiene 3 filas y 1 columna, y desde "
         "la celda elegida caben 2 filas y 3 columnas."},
        {"responses, downward", Grid::stgdatos, {1, 7}, "6,1\n5.8\n\n", nullptr},
        {"responses, two columns",
         Grid::stgdatos,
         {1, 1},
         "1\t2\n",
         "El bloque pegado no cabe en la captura de datos: tiene 1 fila y 2 columnas, y desde "
         "la celda elegida caben 9 filas y 1 columna."},
        {"responses, past the last row",
         Grid::stgdatos,
         {1, 8},
         "1\n2\n3\n",
         "El bloque pegado no cabe en la captura de datos: tiene 3 filas y 1 columna, y desde "
         "la celda elegida caben 2 filas y 1 columna."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStudyHost pasteHost;
        FakeStudyView pasteView;
        StudyWindowRules paste(pasteView, pasteHost);
        pasteView.rules = &paste;
        paste.FormCreate();
        const CalibrationStudy before = paste.Study();
        const bool accepted = paste.PasteBlock(c.grid, c.at, c.text);
        EXPECT_EQ(accepted, c.message == nullptr);
        if (c.message) {
            EXPECT_EQ(pasteView.messages, std::vector<std::string>{c.message});
            EXPECT_EQ(pasteHost.estado, "");
            EXPECT_EQ(SerializedCells(paste.Study()), SerializedCells(before)); // nothing changed
        } else {
            EXPECT_TRUE(pasteView.messages.empty());
            EXPECT_EQ(pasteHost.estado, kModified);
            EXPECT_EQ(pasteView.shown.LevelCell(2, 1), paste.Study().LevelCell(2, 1)); // redrawn
        }
    }
}

TEST_F(StudyWindowRulesTest, PastedCellsLandWhereTheBlockSaysAndCopyGivesThemBack) {
    ASSERT_TRUE(rules.PasteBlock(Grid::stgnivel, {1, 1}, "0,5\t1\t1.5\r\n3\t\t3\r\n"));
    EXPECT_EQ(rules.Study().LevelCell(1, 1), "0,5");
    EXPECT_EQ(rules.Study().LevelCell(3, 1), "1.5");
    EXPECT_EQ(rules.Study().LevelCell(2, 2), ""); // a blank cell is an empty text
    EXPECT_EQ(rules.CopyBlock(Grid::stgnivel, {1, 1}, {3, 2}), "0,5\t1\t1.5\n3\t\t3\n");

    host.events.clear();
    ASSERT_TRUE(rules.PasteBlock(Grid::stgdatos, {1, 2}, "4.2\n3,9\n"));
    EXPECT_EQ(rules.Study().ResponseCell(1, 2), "4.2");
    EXPECT_EQ(rules.Study().ResponseCell(1, 3), "3,9");
    EXPECT_EQ(host.events, std::vector<std::string>{"DataKeyTyped"});
    EXPECT_EQ(rules.CopyBlock(Grid::stgdatos, {1, 2}, {1, 3}), "4.2\n3,9\n");
}

// ----- Closing -----

TEST_F(StudyWindowRulesTest, SaveQuestion) {
    struct Case {
        std::string estado;
        std::deque<bool> answers;
        bool saveSucceeds;
        bool closes;
        std::string estadoAfter;
        int saves;
    };
    const Case cases[] = {
        {"", {}, true, true, "", 0},
        {" ", {}, true, true, " ", 0},
        {"modificado", {}, true, true, "modificado", 0},
        {"Modificado", {false}, true, true, " ", 0},
        {"Modificado", {true}, true, true, "Modificado", 1},
        // Yes, but nothing was written: the window and its study stay.
        {"Modificado", {true}, false, false, "Modificado", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.estado + std::to_string(c.answers.size()));
        host.estado = c.estado;
        host.saves = 0;
        host.saveSucceeds = c.saveSucceeds;
        view.questions.clear();
        view.answers = c.answers;
        EXPECT_EQ(rules.FormCloseQuery(), c.closes);
        EXPECT_EQ(host.estado, c.estadoAfter);
        EXPECT_EQ(host.saves, c.saves);
        EXPECT_EQ(view.questions.size(), c.answers.size());
        if (!view.questions.empty()) {
            EXPECT_EQ(view.questions[0],
                      "Guardar archivo?|Se realizaron cambios!\nQuiere guardar su información?");
        }
    }
}

} // namespace
} // namespace valdex
