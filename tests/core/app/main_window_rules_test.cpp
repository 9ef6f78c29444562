#include "app/main_window_rules.h"
#include "app/sample_field.h"
#include "base/app_error.h"

#include "../files/study_file_test_support.h"
#include "../study/fake_study_view.h"
#include "../support/worked_example.h"
#include "files/study_file.h"
#include "study/study_window_rules.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace valdex {
namespace {

using testing::FakeStudyView;

enum class Kind { Study, Results, Report, Diagnostics };

struct Child {
    Kind kind;
    std::unique_ptr<FakeStudyView> view;
    std::unique_ptr<StudyWindowRules> rules;
    std::vector<std::string> lines;
    std::optional<DiagnosticsWindowContent> diagnostics;
};

// A main window that keeps its child windows in a list, the last one
// active, and closes them the way the toolkit window does.
class FakeMainView : public MainWindowView {
public:
    MainWindowRules* main = nullptr;
    std::vector<Child> children;
    std::vector<std::string> errorBoxes;
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;
    std::vector<std::string> openProposals, saveProposals;
    bool waiting = false;
    int waits = 0;
    std::string estado = "(never set)";
    CommandStates states;
    int laser = 0, deskjet = 0, tiles = 0, cascades = 0;
    bool ended = false;

    StudyWindowRules& CreateStudyWindow(StudyHost& host) override {
        Child child{Kind::Study, std::make_unique<FakeStudyView>(), nullptr, {}, std::nullopt};
        child.rules = std::make_unique<StudyWindowRules>(*child.view, host);
        child.view->rules = child.rules.get();
        children.push_back(std::move(child));
        return *children.back().rules;
    }
    void CreateResultsWindow(const std::vector<std::string>& lines) override {
        children.push_back({Kind::Results, nullptr, nullptr, lines, std::nullopt});
    }
    void CreateReportWindow(const std::vector<std::string>& lines) override {
        children.push_back({Kind::Report, nullptr, nullptr, lines, std::nullopt});
    }
    void CreateDiagnosticsWindow(const DiagnosticsWindowContent& content) override {
        children.push_back({Kind::Diagnostics, nullptr, nullptr, {}, content});
    }
    int ChildWindowCount() const override { return static_cast<int>(children.size()); }
    void CloseActiveChildWindow() override {
        if (!children.empty()) Close(children.size() - 1);
    }
    void TileChildWindows() override { ++tiles; }
    void CascadeChildWindows() override { ++cascades; }
    void CloseMainWindow() override {
        if (!main->FormCloseQuery()) return;
        while (!children.empty()) {
            const std::size_t before = children.size();
            Close(children.size() - 1);
            if (children.size() == before) return;
        }
        ended = true;
    }
    std::optional<std::string> AskOpenFileName(const std::string& initialName) override {
        openProposals.push_back(initialName);
        return Answer(openAnswers);
    }
    std::optional<std::string> AskSaveFileName(const std::string& initialName) override {
        saveProposals.push_back(initialName);
        return Answer(saveAnswers);
    }
    void SetWaitCursor(bool on) override {
        waiting = on;
        waits += on ? 1 : 0;
    }
    void SetEstado(const std::string& text) override { estado = text; }
    void ShowCommandStates(const CommandStates& shown) override { states = shown; }
    void ShowLaserOptions() override { ++laser; }
    void ShowDeskjetOptions() override { ++deskjet; }
    void ShowValidationReport(const std::string& path) override {
        validationReports.push_back(path);
    }
    std::vector<std::string> validationReports;
    void ShowErrorBox(const std::string& text) override { errorBoxes.push_back(text); }

    // Closing a child window by its close box.
    void Close(std::size_t index) {
        Child& child = children[index];
        if (child.kind == Kind::Study) {
            if (!child.rules->FormCloseQuery()) return;
            child.rules->FormClose();
        } else {
            main->ChildWindowClosing();
        }
        children.erase(children.begin() + static_cast<long>(index));
    }
    int Count(Kind kind) const {
        int count = 0;
        for (const Child& child : children)
            count += child.kind == kind;
        return count;
    }
    const Child* Last(Kind kind) const {
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if (it->kind == kind) return &*it;
        return nullptr;
    }
    std::size_t IndexOf(Kind kind) const {
        for (std::size_t i = 0; i < children.size(); ++i)
            if (children[i].kind == kind) return i;
        return children.size();
    }

private:
    static std::optional<std::string> Answer(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class MainWindowRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.main = &main;
        main.Start();
    }

    StudyWindowRules& Study() { return *main.Finforma(); }
    FakeStudyView& StudyView() { return *view.Last(Kind::Study)->view; }

    // A new window holding the worked example, its data page entered.
    void NewWorkedExample(const std::string& type = "Regresión") {
        main.FileNew();
        Study().LoadStudy(valdex::testing::WorkedExample(type));
        Study().stgdatosEnter();
    }

    bool On(Command command) const { return view.states.IsEnabled(command); }

    FakeMainView view;
    MainWindowRules main{view, '.'};
    valdex::testing::TempFolder folder;
};

const std::vector<std::string> kWorkedExampleResults = valdex::testing::WorkedExampleResultsLines();

// ----- Start, New, Open -----

TEST_F(MainWindowRulesTest, StartShowsTheDesignStates) {
    EXPECT_EQ(view.states, CommandStates());
    EXPECT_EQ(view.estado, "");
    EXPECT_EQ(main.SaveFileName(), "Nuevo");
    EXPECT_EQ(main.Finforma(), nullptr);
}

TEST_F(MainWindowRulesTest, NewCreatesAnEmptyStudyWindow) {
    main.SetEstado("Modificado");
    main.FileNew();
    ASSERT_NE(main.Finforma(), nullptr);
    EXPECT_EQ(view.Count(Kind::Study), 1);
    EXPECT_EQ(StudyView().caption, "Nuevo");
    EXPECT_EQ(StudyView().shown.LevelCell(3, 0), "Nivel 3");
    EXPECT_EQ(view.estado, "");
    CommandStates expected;
    expected.Apply(CommandEvent::New);
    EXPECT_EQ(view.states, expected);
    EXPECT_FALSE(On(Command::mnuclose)); // New does not offer Cerrar
    EXPECT_FALSE(On(Command::FileOpenItem));
}

TEST_F(MainWindowRulesTest, OpenReadsTheFileIntoANewWindow) {
    const std::string path = folder.File("ejemplo.w8c");
    WriteStudyFile(valdex::testing::WorkedExample(), path);
    main.SetEstado("Modificado"); // left over from an earlier study
    view.openAnswers = {path};
    main.FileOpen();
    ASSERT_NE(main.Finforma(), nullptr);
    const CalibrationStudy& study = Study().Study();
    EXPECT_EQ(study.MethodName, "Método A");
    EXPECT_EQ(study.LevelColumns(), 4);
    EXPECT_EQ(study.ResponseCell(1, 12), "8.1");
    EXPECT_EQ(StudyView().shown.ResponseCell(0, 4), "Nivel 2 , Replica 1");
    EXPECT_EQ(StudyView().caption, path);
    EXPECT_EQ(Study().Caption(), path);
    EXPECT_EQ(main.SaveFileName(), path);
    EXPECT_EQ(view.estado, "Modificado"); // Open leaves the mark alone
    EXPECT_EQ(view.openProposals, std::vector<std::string>{""});
    EXPECT_FALSE(view.waiting);
    EXPECT_EQ(view.waits, 1);
    // Close, Print, Tile and Cascade at once; Save waits for the type box.
    for (Command c : {Command::mnuclose, Command::spdclose, Command::FilePrintItem,
                      Command::PrintLasser, Command::PrintDeskjet, Command::spdprint,
                      Command::spdprint1, Command::WindowTileItem, Command::spdcascada})
        EXPECT_TRUE(On(c)) << CommandName(c);
    for (Command c : {Command::FileSaveItem, Command::spdguardar, Command::FileSaveAsItem,
                      Command::FileNewItem, Command::FileOpenItem, Command::pmnudunet})
        EXPECT_FALSE(On(c)) << CommandName(c);
    Study().ComboBox1Change("Regresión");
    EXPECT_TRUE(On(Command::FileSaveItem));
    EXPECT_TRUE(On(Command::FileSaveAsItem));
    EXPECT_TRUE(On(Command::spdguardar));
}

TEST_F(MainWindowRulesTest, CancelledOpenChangesNothing) {
    main.FileOpen();
    EXPECT_TRUE(view.children.empty());
    EXPECT_EQ(view.states, CommandStates());
    EXPECT_EQ(view.waits, 0);
    EXPECT_TRUE(view.errorBoxes.empty());
}

TEST_F(MainWindowRulesTest, FailedOpenLeavesNoWindowAndTheStatesAsBefore) {
    // A study closed as the last child window: New and Open are on.
    main.FileNew();
    view.Close(0);
    const CommandStates before = view.states;
    ASSERT_TRUE(On(Command::FileOpenItem));

    const std::string missing = folder.File("falta.w8c");
    const std::string broken = folder.File("roto.w8c");
    valdex::testing::WriteBytes(broken, "a\r\nb\r\nc\r\nd\r\ne\r\nRegresión\r\n3\r\n1\r\n");
    for (const std::string& path : {missing, broken}) {
        SCOPED_TRACE(path);
        view.errorBoxes.clear();
        view.openAnswers = {path};
        main.FileOpen();
        EXPECT_EQ(view.errorBoxes.size(), 1u);
        EXPECT_TRUE(view.children.empty());
        EXPECT_EQ(main.Finforma(), nullptr);
        EXPECT_EQ(view.states, before);
        EXPECT_EQ(main.SaveFileName(), "Nuevo");
        EXPECT_FALSE(view.waiting);
    }
    // The open dialog proposes what it last returned.
    EXPECT_EQ(view.openProposals.back(), missing);
}

// Opening a named file (the command line): the same reading, window and
// states as Abrir, without the dialog; a refused file gives its error box and
// no window; nothing happens while a study window is open.
TEST_F(MainWindowRulesTest, OpenStudyOpensANamedFileAsAbrirDoes) {
    const std::string good = folder.File("ejemplo.w8c");
    WriteStudyFile(valdex::testing::WorkedExample(), good);
    const std::string broken = folder.File("roto.w8c");
    valdex::testing::WriteBytes(broken, "a\r\nb\r\nc\r\nd\r\ne\r\nRegresión\r\n11\r\n");
    struct Case {
        std::string path;
        bool opens;
    };
    for (const Case& c :
         {Case{folder.File("falta.w8c"), false}, Case{broken, false}, Case{good, true}}) {
        SCOPED_TRACE(c.path);
        view.errorBoxes.clear();
        EXPECT_EQ(main.OpenStudy(c.path), c.opens);
        EXPECT_EQ(view.errorBoxes.size(), c.opens ? 0u : 1u);
        EXPECT_EQ(view.Count(Kind::Study), c.opens ? 1 : 0);
        EXPECT_EQ(main.SaveFileName(), c.opens ? c.path : "Nuevo");
        EXPECT_FALSE(view.waiting);
        CommandStates expected;
        if (c.opens) expected.Apply(CommandEvent::Open);
        EXPECT_EQ(view.states, expected);
    }
    EXPECT_EQ(StudyView().caption, good);
    EXPECT_EQ(Study().Study().ResponseCell(1, 12), "8.1");
    EXPECT_TRUE(view.openProposals.empty());

    // One study window at a time: a second file is not opened.
    EXPECT_FALSE(main.OpenStudy(good));
    EXPECT_EQ(view.children.size(), 1u);
    EXPECT_TRUE(view.errorBoxes.empty());

    // The open dialog still proposes what it last returned, not the named file.
    view.Close(0);
    main.FileOpen();
    EXPECT_EQ(view.openProposals, std::vector<std::string>{""});
}

// A file named on the command line that cannot be opened: the box names it,
// since no dialog showed the name; Abrir keeps the bare texts.
TEST_F(MainWindowRulesTest, ANamedFileThatCannotBeOpenedIsNamedInTheBox) {
    const std::string missing = folder.File("falta.w8c");
    const std::string broken = folder.File("roto.w8c");
    valdex::testing::WriteBytes(broken, "a\r\nb\r\nc\r\nd\r\ne\r\nRegresión\r\n\r\n");
    const std::string pipe = folder.File("tubo.w8c");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::string path, text;
    } cases[] = {
        {missing, "File not found."},
        {broken, "'' is not a valid integer value."},
        {pipe, "El archivo \"tubo.w8c\" no es un archivo común, es una tubería; no se lee."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        view.errorBoxes.clear();
        EXPECT_FALSE(main.OpenNamedStudy(c.path));
        EXPECT_FALSE(main.OpenStudy(c.path));
        EXPECT_EQ(view.errorBoxes, (std::vector<std::string>{
                                       "No se pudo abrir \"" + c.path + "\": " + c.text, c.text}));
    }
}

// After Nuevo or Abrir, an edit that sets the modified mark enables Guardar
// and Guardar como at once; Ctrl+G then saves.
TEST_F(MainWindowRulesTest, AnEditThatMarksTheStudyEnablesSaving) {
    const std::string path = folder.File("ejemplo.w8c");
    WriteStudyFile(valdex::testing::WorkedExample(), path);
    for (const bool opened : {false, true}) {
        SCOPED_TRACE(opened);
        if (opened)
            ASSERT_TRUE(main.OpenStudy(path));
        else
            main.FileNew();
        EXPECT_FALSE(view.states.IsEnabled(Command::FileSaveItem));
        Study().esistemaKeyPress('x');
        for (Command command :
             {Command::FileSaveItem, Command::spdguardar, Command::FileSaveAsItem})
            EXPECT_TRUE(view.states.IsEnabled(command)) << CommandName(command);
        if (opened) {
            EXPECT_TRUE(main.FileSave());
            EXPECT_EQ(view.estado, "");
        }
        view.saveAnswers.clear();
        main.SetEstado("");
        view.Close(0);
    }
}

// ----- Save, Save as -----

TEST_F(MainWindowRulesTest, SavingANewStudyAsksForANameThenSavesWithoutAsking) {
    NewWorkedExample();
    Study().esistemaKeyPress('x');
    ASSERT_EQ(view.estado, "Modificado");
    const std::string path = folder.File("Ensayo1.w8c");
    view.saveAnswers = {path};
    EXPECT_TRUE(main.FileSave());
    EXPECT_EQ(view.saveProposals, std::vector<std::string>{"Nuevo"});
    EXPECT_EQ(ReadStudyFile(path).ResponseCell(1, 12), "8.1");
    EXPECT_EQ(Study().Caption(), path);
    EXPECT_EQ(StudyView().caption, path);
    EXPECT_EQ(main.SaveFileName(), path);
    EXPECT_EQ(view.estado, "");
    EXPECT_FALSE(view.waiting);

    Study().SetFieldText(Control::esistema, "Método B");
    Study().esistemaKeyPress('B');
    EXPECT_TRUE(main.FileSave());
    EXPECT_EQ(view.saveProposals.size(), 1u); // no dialog this time
    EXPECT_EQ(ReadStudyFile(path).MethodName, "Método B");
    EXPECT_EQ(view.estado, "");
}

TEST_F(MainWindowRulesTest, SaveAsProposesTheLastName) {
    const std::string first = folder.File("uno.w8c");
    const std::string second = folder.File("dos.w8c");
    WriteStudyFile(valdex::testing::WorkedExample(), first);
    view.openAnswers = {first};
    main.FileOpen();
    view.saveAnswers = {second};
    EXPECT_TRUE(main.FileSaveAs());
    EXPECT_EQ(view.saveProposals, std::vector<std::string>{first});
    EXPECT_EQ(Study().Caption(), second);
    EXPECT_EQ(ReadStudyFile(second).LevelCount, "4");
    // Save goes on writing to the new name.
    Study().SetFieldText(Control::eanalista, "Eva");
    EXPECT_TRUE(main.FileSave());
    EXPECT_EQ(ReadStudyFile(second).AnalystName, "Eva");
    EXPECT_EQ(ReadStudyFile(first).AnalystName, "Ana");
}

TEST_F(MainWindowRulesTest, CancelledSaveDialogChangesNothing) {
    NewWorkedExample();
    main.SetEstado("Modificado");
    EXPECT_FALSE(main.FileSave());
    EXPECT_EQ(view.saveProposals.size(), 1u);
    EXPECT_EQ(Study().Caption(), "Nuevo");
    EXPECT_EQ(view.estado, "Modificado");
    EXPECT_EQ(folder.Listing(), "");
    EXPECT_EQ(main.SaveFileName(), "Nuevo");
}

TEST_F(MainWindowRulesTest, SaveStopsAtTheLevelCheck) {
    struct Case {
        std::string count;
        std::string message;  // the check's own message box
        std::string errorBox; // or the general error box
    };
    const Case cases[] = {
        {"11", "Datos fuera de rango, 2-10 Número de Niveles", ""},
        {"", "Falta capturar el número de niveles.", ""},
        {"3",
         "El número de celdas de captura para los niveles, no coincide con el número de niveles "
         "especificado.",
         ""},
        {"x", "", "'x' is not a valid integer value."},
    };
    NewWorkedExample();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        for (bool saveAs : {false, true}) {
            Study().SetFieldText(Control::enivel, c.count);
            StudyView().messages.clear();
            StudyView().page = 0;
            view.errorBoxes.clear();
            view.saveAnswers = {folder.File("no.w8c")};
            EXPECT_FALSE(saveAs ? main.FileSaveAs() : main.FileSave());
            EXPECT_TRUE(view.saveProposals.empty());
            if (c.errorBox.empty()) {
                EXPECT_EQ(StudyView().messages, std::vector<std::string>{c.message});
                EXPECT_EQ(StudyView().page, 1);
                EXPECT_EQ(StudyView().focus, Control::enivel);
                EXPECT_TRUE(view.errorBoxes.empty());
            } else {
                EXPECT_TRUE(StudyView().messages.empty());
                EXPECT_EQ(StudyView().page, 0);
                EXPECT_EQ(view.errorBoxes, std::vector<std::string>{c.errorBox});
            }
        }
    }
    EXPECT_EQ(folder.Listing(), "");
}

TEST_F(MainWindowRulesTest, AFailedWriteKeepsTheEarlierFileAndTheMark) {
    const std::string path = folder.File("ensayo.w8c");
    WriteStudyFile(valdex::testing::WorkedExample(), path);
    const std::string earlier = valdex::testing::ReadBytes(path);
    view.openAnswers = {path};
    main.FileOpen();
    Study().SetLevelCell(2, 2, "-1"); // the writer refuses it
    Study().stgnivelKeyPress('1', {2, 2});
    EXPECT_FALSE(main.FileSave());
    EXPECT_EQ(view.errorBoxes, std::vector<std::string>{"La replicación del nivel 2 es negativa."});
    EXPECT_EQ(valdex::testing::ReadBytes(path), earlier);
    EXPECT_EQ(view.estado, "Modificado");
    EXPECT_FALSE(view.waiting);

    // A folder that is not there: the caption keeps the old name.
    Study().SetLevelCell(2, 2, "3");
    view.saveAnswers = {folder.File("no/hay/carpeta.w8c")};
    EXPECT_FALSE(main.FileSaveAs());
    EXPECT_EQ(view.errorBoxes.size(), 2u);
    EXPECT_EQ(Study().Caption(), path);
    EXPECT_EQ(view.estado, "Modificado");
    // ... and so does the save name: Guardar writes the file the caption
    // names, not the one of the failed Guardar como.
    EXPECT_EQ(main.SaveFileName(), path);
    Study().SetLevelCell(1, 1, "0.25");
    EXPECT_TRUE(main.FileSave());
    EXPECT_EQ(view.estado, "");
    EXPECT_NE(valdex::testing::ReadBytes(path), earlier);
    EXPECT_EQ(ReadStudyFile(path).LevelCell(1, 1), "0.25");
}

// ----- The save question when a study window closes -----

TEST_F(MainWindowRulesTest, AnsweringNoClosesWithoutSaving) {
    NewWorkedExample();
    Study().efechaKeyPress('1');
    StudyView().answers = {false};
    main.mnucloseClick();
    EXPECT_TRUE(view.children.empty());
    EXPECT_EQ(main.Finforma(), nullptr);
    EXPECT_EQ(view.estado, " ");
    EXPECT_EQ(folder.Listing(), "");
    EXPECT_TRUE(On(Command::FileNewItem));
    EXPECT_TRUE(On(Command::FileOpenItem));
    EXPECT_FALSE(On(Command::mnudunet));
}

TEST_F(MainWindowRulesTest, AnsweringYesSavesThenCloses) {
    NewWorkedExample();
    Study().efechaKeyPress('1');
    StudyView().answers = {true};
    const std::string path = folder.File("cierre.w8c");
    view.saveAnswers = {path};
    main.mnucloseClick();
    EXPECT_TRUE(view.children.empty());
    EXPECT_EQ(view.estado, "");
    EXPECT_EQ(ReadStudyFile(path).LevelCount, "4");
}

TEST_F(MainWindowRulesTest, AnsweringYesWithoutASaveKeepsTheWindow) {
    struct Case {
        const char* name;
        std::string count;
        std::optional<std::string> dialog;
    };
    const Case cases[] = {
        {"level check refuses", "11", folder.File("x.w8c")},
        {"save dialog cancelled", "4", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewWorkedExample();
        Study().SetFieldText(Control::enivel, c.count);
        Study().enivelKeyPress('1');
        const CommandStates before = view.states;
        StudyView().answers = {true};
        view.saveAnswers = {c.dialog};
        main.mnucloseClick();
        ASSERT_EQ(view.Count(Kind::Study), 1);
        ASSERT_NE(main.Finforma(), nullptr);
        EXPECT_EQ(Study().Study().ResponseCell(1, 12), "8.1");
        EXPECT_EQ(view.estado, "Modificado");
        EXPECT_EQ(view.states, before);
        EXPECT_EQ(folder.Listing(), "");

        // The program does not end either; answering No then lets it.
        StudyView().answers = {true};
        view.saveAnswers = {c.dialog};
        main.FileExit();
        EXPECT_FALSE(view.ended);
        EXPECT_EQ(view.Count(Kind::Study), 1);
        StudyView().answers = {false};
        main.FileExit();
        EXPECT_TRUE(view.ended);
        EXPECT_TRUE(view.children.empty());
        EXPECT_EQ(view.estado, " ");
        view.ended = false;
    }
}

TEST_F(MainWindowRulesTest, ExitWithoutChangesAsksNothing) {
    NewWorkedExample();
    main.mnudunetClick();
    main.FileExit();
    EXPECT_TRUE(view.ended);
    EXPECT_TRUE(view.children.empty());
}

// ----- Calculation, report, printing -----

TEST_F(MainWindowRulesTest, CalculationOfTheWorkedExample) {
    NewWorkedExample();
    main.mnudunetClick();
    ASSERT_EQ(view.Count(Kind::Results), 1);
    EXPECT_EQ(view.Last(Kind::Results)->lines, kWorkedExampleResults);
    EXPECT_TRUE(view.errorBoxes.empty());
    // The popup item runs the same command; each run opens another window.
    Study().pmnudunetClick();
    EXPECT_EQ(view.Count(Kind::Results), 2);
    EXPECT_EQ(view.Last(Kind::Results)->lines, kWorkedExampleResults);
}

TEST_F(MainWindowRulesTest, CalculationStopsAtTheLevelCheck) {
    NewWorkedExample();
    Study().SetFieldText(Control::enivel, "3");
    main.mnudunetClick();
    main.mnuinformeClick();
    EXPECT_EQ(view.Count(Kind::Results) + view.Count(Kind::Report), 0);
    EXPECT_EQ(StudyView().messages.size(), 2u);
    EXPECT_EQ(StudyView().page, 1);
}

TEST_F(MainWindowRulesTest, ACalculationFaultEndsInTheErrorBox) {
    NewWorkedExample();
    main.mnudunetClick();
    Study().SetResponseCell(5, "abc");
    main.mnudunetClick();
    EXPECT_EQ(view.Count(Kind::Results), 1);
    EXPECT_EQ(view.Last(Kind::Results)->lines, kWorkedExampleResults);
    EXPECT_EQ(view.errorBoxes,
              std::vector<std::string>{"'abc' is not a valid floating point value."});
}

TEST_F(MainWindowRulesTest, ReportOfTheWorkedExample) {
    NewWorkedExample();
    main.mnuinformeClick();
    ASSERT_EQ(view.Count(Kind::Report), 1);
    const std::vector<std::string>& lines = view.Last(Kind::Report)->lines;
    ASSERT_EQ(lines.size(), 52u);
    EXPECT_EQ(lines[23], "Nivel 1 , Replica 1            2.1");
    EXPECT_EQ(lines[37], "VARIABILIDAD : CURVA DE CALIBRACIÓN \"Regresión\"");
    EXPECT_EQ(lines[51], "LÍMITE DE CUANTIFICACIÓN  \"Regresión\" = 0.723565 mg");
    EXPECT_TRUE(view.errorBoxes.empty());
}

TEST_F(MainWindowRulesTest, AFailedReportKeepsItsStudyPart) {
    main.FileNew();
    Study().LoadStudy(valdex::testing::MakeStudy({{"1", "1"}, {"2", "1"}}, {"2.1", "4.2"}));
    main.mnuinformeClick();
    ASSERT_EQ(view.Count(Kind::Report), 1);
    const std::vector<std::string>& lines = view.Last(Kind::Report)->lines;
    ASSERT_GE(lines.size(), 20u);
    EXPECT_EQ(lines[0], "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA");
    EXPECT_EQ(lines.back(), "Nivel 2 , Replica 1            4.2"); // the study part, whole
    EXPECT_EQ(view.errorBoxes.size(), 1u);
}

TEST_F(MainWindowRulesTest, PrintingChecks) {
    NewWorkedExample();
    main.FilePrint();
    EXPECT_EQ(view.deskjet, 1);
    Study().SetFieldText(Control::enivel, "11");
    main.FilePrint();
    EXPECT_EQ(view.deskjet, 1);
    EXPECT_EQ(StudyView().messages,
              std::vector<std::string>{"Datos fuera de rango, 2-10 Número de Niveles"});
    main.PrintLasserClick(); // no check on the laser path
    EXPECT_EQ(view.laser, 1);
    EXPECT_EQ(StudyView().messages.size(), 1u);
}

// The validation report names the saved file: a study never saved or
// changed since is refused.
TEST_F(MainWindowRulesTest, ValidationReportOnlyOfTheSavedFile) {
    NewWorkedExample();
    main.mnuvalidacionClick();
    EXPECT_EQ(view.errorBoxes, std::vector<std::string>{kValidationNeedsSavedStudy});
    const std::string path = folder.File("informe.w8c");
    view.saveAnswers = {path};
    ASSERT_TRUE(main.FileSaveAs());
    main.mnuvalidacionClick();
    EXPECT_EQ(view.validationReports, std::vector<std::string>{path});
    main.SetEstado("Modificado"); // as a key typed in the study window sets it
    main.mnuvalidacionClick();
    EXPECT_EQ(view.errorBoxes.size(), 2u);
    EXPECT_EQ(view.validationReports.size(), 1u);
}

// ----- Diagnostics -----

TEST_F(MainWindowRulesTest, DiagnosticsOfTheWorkedExample) {
    NewWorkedExample();
    main.mnudiagnosticoClick();
    ASSERT_EQ(view.Count(Kind::Diagnostics), 1);
    const DiagnosticsWindowContent& content = *view.Last(Kind::Diagnostics)->diagnostics;
    EXPECT_EQ(content.caption, "Diagnóstico: Nuevo");
    EXPECT_EQ(content.study.MethodName, "Método A");
    EXPECT_EQ(content.study.ResponseCell(1, 12), "8.1");
    EXPECT_EQ(content.decimalSeparator, '.');
    EXPECT_EQ(content.diagnostics.line.N, 12);
    ASSERT_TRUE(content.diagnostics.line.b);
    EXPECT_NEAR(*content.diagnostics.line.b, 2.0233333, 1e-7);
    ASSERT_TRUE(content.diagnostics.study.LD);
    EXPECT_NEAR(*content.diagnostics.study.LD, 0.238776, 1e-6);
    EXPECT_EQ(content.diagnostics.units, "mg");
    EXPECT_TRUE(view.errorBoxes.empty());
    // Each run opens another window; the states do not change.
    const CommandStates before = view.states;
    main.mnudiagnosticoClick();
    EXPECT_EQ(view.Count(Kind::Diagnostics), 2);
    EXPECT_EQ(view.states, before);
}

TEST_F(MainWindowRulesTest, DiagnosticsStopAtTheLevelCheckOrAFault) {
    NewWorkedExample();
    Study().SetFieldText(Control::enivel, "3");
    main.mnudiagnosticoClick();
    EXPECT_EQ(view.Count(Kind::Diagnostics), 0);
    EXPECT_EQ(StudyView().messages.size(), 1u);
    EXPECT_EQ(StudyView().page, 1);
    EXPECT_TRUE(view.errorBoxes.empty());

    Study().SetFieldText(Control::enivel, "4");
    Study().SetResponseCell(5, "abc");
    main.mnudiagnosticoClick();
    EXPECT_EQ(view.Count(Kind::Diagnostics), 0);
    EXPECT_EQ(view.errorBoxes,
              std::vector<std::string>{"'abc' is not a valid floating point value."});
}

TEST_F(MainWindowRulesTest, ClosingADiagnosticsWindowIsAResultsWindowsClosing) {
    NewWorkedExample();
    main.mnudiagnosticoClick();
    const CommandStates withStudy = view.states;
    main.mnudiagnosticoClick();
    view.Close(view.IndexOf(Kind::Diagnostics));
    EXPECT_EQ(view.states, withStudy);

    StudyView().answers = {false};
    view.Close(view.IndexOf(Kind::Study));
    EXPECT_FALSE(On(Command::FileOpenItem));
    EXPECT_FALSE(On(Command::mnudiagnostico));
    main.mnucloseClick();
    EXPECT_TRUE(view.children.empty());
    EXPECT_TRUE(On(Command::FileOpenItem));
    EXPECT_TRUE(On(Command::spdabrir));
    EXPECT_FALSE(On(Command::mnuclose));
}

TEST(SampleFieldTest, ResponsesOfTheField) {
    struct Case {
        const char* text;
        char sep;
        std::vector<double> responses;
        std::string error; // the error's text, when the field is refused
    };
    const Case cases[] = {
        {"4.0", '.', {4.0}, ""},
        {"  3.9 4\t4.1  ", '.', {3.9, 4.0, 4.1}, ""},
        {"1,5 -2", ',', {1.5, -2}, ""},
        {"1.5 2,5", ',', {1.5, 2.5}, ""}, // either decimal mark
        {"2E-3", '.', {0.002}, ""},
        {"", '.', {}, kNoSampleResponses},
        {" \t ", '.', {}, kNoSampleResponses},
        {"4.0 x1", '.', {}, "'x1' is not a valid floating point value"},
        {"1;5", ',', {}, "'1;5' is not a valid floating point value"},
        {"1e309", '.', {}, "'1e309' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string text = c.text;
        if (c.error.empty()) {
            EXPECT_EQ(SampleResponses(text, c.sep), c.responses);
        } else {
            try {
                SampleResponses(text, c.sep);
                ADD_FAILURE() << "accepted";
            } catch (const AppError& error) {
                EXPECT_EQ(error.what(), c.error);
            }
        }
    }
}

// x = (4.0 − a)/b with a = −0.0333333 and b = 2.0233333, above LC.
TEST(SampleFieldTest, ReadsTheSampleOffTheLine) {
    DiagnosticsWindowContent content;
    content.study = valdex::testing::WorkedExample();
    const std::vector<std::string> lines = InterpolateSample(content, "4.0");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "x = 1.99341 mg"), lines.end())
        << ::testing::PrintToString(lines);
    bool verdict = false;
    for (const std::string& line : lines)
        verdict = verdict || line.rfind("Veredicto: ≥ LC", 0) == 0;
    EXPECT_TRUE(verdict);
    content.decimalSeparator = ',';
    for (ResponseRow& row : content.study.Responses)
        std::replace(row.Response.begin(), row.Response.end(), '.', ',');
    const std::vector<std::string> comma = InterpolateSample(content, "0,2");
    verdict = false;
    for (const std::string& line : comma)
        verdict = verdict || line.rfind("Veredicto: < LD (LD = 0,238776", 0) == 0;
    EXPECT_TRUE(verdict) << ::testing::PrintToString(comma);
}

// ----- Command states as windows come and go -----

TEST_F(MainWindowRulesTest, ClosingTheStudyWindowWhileAResultsWindowStays) {
    NewWorkedExample();
    Study().ComboBox1Change("Regresión");
    ASSERT_TRUE(On(Command::FileSaveItem));
    ASSERT_TRUE(On(Command::mnudunet));
    ASSERT_TRUE(On(Command::spdprint1));
    main.mnudunetClick();
    main.mnudunetClick();

    // Closing a results window while the study stays changes nothing.
    const CommandStates withStudy = view.states;
    view.Close(view.IndexOf(Kind::Results));
    EXPECT_EQ(view.states, withStudy);

    StudyView().answers = {false};
    view.Close(view.IndexOf(Kind::Study));
    EXPECT_EQ(main.Finforma(), nullptr);
    for (Command c : {Command::FileNewItem, Command::spdnuevo, Command::mnucalculos})
        EXPECT_TRUE(On(c)) << CommandName(c);
    for (Command c :
         {Command::FileSaveItem, Command::spdguardar, Command::FileSaveAsItem,
          Command::FilePrintItem, Command::PrintLasser, Command::PrintDeskjet, Command::spdprint,
          Command::spdprint1, Command::mnuclose, Command::spdclose, Command::WindowTileItem,
          Command::spdmosaico, Command::WindowCascadeItem, Command::spdcascada, Command::mnudunet,
          Command::mnuinforme, Command::pmnudunet, Command::FileOpenItem, Command::spdabrir})
        EXPECT_FALSE(On(c)) << CommandName(c);

    // The results window, closed last, brings Abrir back.
    main.mnucloseClick();
    EXPECT_TRUE(view.children.empty());
    EXPECT_TRUE(On(Command::FileOpenItem));
    EXPECT_TRUE(On(Command::spdabrir));
    EXPECT_TRUE(On(Command::mnucalculos)); // the menu itself keeps its state
    EXPECT_FALSE(On(Command::mnudunet));
}

TEST_F(MainWindowRulesTest, ANewWindowsPopupItemStartsDisabled) {
    NewWorkedExample();
    EXPECT_TRUE(On(Command::pmnudunet));
    main.mnudunetClick();
    StudyView().answers = {false};
    view.Close(view.IndexOf(Kind::Study));
    main.FileNew();
    EXPECT_FALSE(On(Command::pmnudunet));
    // The data grid's first key offers it again.
    Study().stgdatosKeyPress('1', {1, 1});
    EXPECT_TRUE(On(Command::pmnudunet));
    EXPECT_TRUE(On(Command::mnudunet));
}

} // namespace
} // namespace valdex
