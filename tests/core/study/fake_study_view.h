#pragma once
// A scripted study window for the rules: records what the rules ask of it
// and reports the user's focus moves to the rules, as the Qt window does.

#include "study/study_window_rules.h"

#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace valdex::testing {

inline const char* ControlName(Control control) {
    switch (control) {
    case Control::esistema:
        return "esistema";
    case Control::eanalista:
        return "eanalista";
    case Control::efecha:
        return "efecha";
    case Control::epmedida:
        return "epmedida";
    case Control::ecanad:
        return "ecanad";
    case Control::ComboBox1:
        return "ComboBox1";
    case Control::enivel:
        return "enivel";
    case Control::bnivel:
        return "bnivel";
    case Control::stgnivel:
        return "stgnivel";
    case Control::botonr:
        return "botonr";
    case Control::stgdatos:
        return "stgdatos";
    }
    return "?";
}

class FakeStudyView : public StudyWindowView {
public:
    // Set once the rules exist.
    StudyWindowRules* rules = nullptr;

    std::vector<std::string> messages;
    std::vector<std::string> questions; // caption + "|" + text
    std::deque<bool> answers;           // Yes/No answers, in order
    int page = 0;
    std::vector<int> selectedPages;
    Control focus = Control::esistema;
    std::vector<Control> focusMoves; // every SetFocus of the rules
    std::map<Grid, GridMode> modes;
    std::map<Grid, GridCell> currentCells;
    std::map<std::pair<Grid, int>, int> widths;
    std::string caption;
    CalibrationStudy shown; // the controls as last drawn
    std::vector<StudyPart> redraws;

    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        // A rule that answers itself endlessly would never get here twice
        // as often as this.
        if (messages.size() > 50) throw std::logic_error("endless alternation of checks");
    }
    bool AskYesNo(const std::string& text, const std::string& questionCaption) override {
        questions.push_back(questionCaption + "|" + text);
        if (answers.empty()) throw std::logic_error("unexpected question");
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void SelectPage(int p) override {
        page = p;
        selectedPages.push_back(p);
    }
    void SetFocus(Control control) override {
        focusMoves.push_back(control);
        focus = control;
    }
    void SetGridMode(Grid grid, GridMode mode) override { modes[grid] = mode; }
    void SetCurrentCell(Grid grid, GridCell cell) override { currentCells[grid] = cell; }
    void SetColumnWidth(Grid grid, int column, int pixels) override {
        widths[{grid, column}] = pixels;
    }
    void ShowStudy(const CalibrationStudy& study, StudyPart part) override {
        shown = study;
        redraws.push_back(part);
    }
    void SetCaption(const std::string& text) override { caption = text; }

    // The user moves the focus (Tab, a click): the toolkit moves it, then
    // tells the rules. True when the move stood.
    bool UserFocus(Control control) {
        focus = control;
        return rules->FocusMoved(control);
    }
    // The user turns the page (a tab, Ctrl+PgDown).
    bool UserTurnsPage() { return rules->LeavePage(); }
};

// The main window as a study window sees it.
class FakeStudyHost : public StudyHost {
public:
    std::string estado;
    std::vector<std::string> events; // what the window told its host
    std::vector<std::string> errorBoxes;
    int calculations = 0;
    int saves = 0;
    bool saveSucceeds = true;
    int closed = 0;

    std::string Estado() const override { return estado; }
    void SetEstado(const std::string& text) override { estado = text; }
    void CalculationTypeChanged() override { events.push_back("CalculationTypeChanged"); }
    void DataPageEntered() override { events.push_back("DataPageEntered"); }
    void DataKeyTyped() override { events.push_back("DataKeyTyped"); }
    void RunCalculation() override { ++calculations; }
    bool SaveStudy() override {
        ++saves;
        return saveSucceeds;
    }
    void StudyWindowClosed(StudyWindowRules&) override { ++closed; }
    void ShowErrorBox(const std::string& text) override { errorBoxes.push_back(text); }
    char DecimalSeparator() const override { return '.'; }
};

} // namespace valdex::testing
