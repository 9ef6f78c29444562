#pragma once
// The study window's behaviour, free of any toolkit: it owns the study record
// and runs the window's handlers against a StudyWindowView and a StudyHost.
//
// How a toolkit window drives it:
// - Every user edit is stored at once with SetFieldText, SetLevelCell or
//   SetResponseCell (also a grid cell being typed into, before it is
//   committed), so that a command of the main window always reads what the
//   controls show. Storing sets no modified mark.
// - A character key in a field or grid (Enter as kEnterKey, Backspace
//   included) calls the field's KeyPress handler. The key is then inserted
//   by the toolkit as usual; no key is filtered.
// - Every user edit of a text (typed, pasted, cut, undone, dropped) is
//   reported with FieldEdited, LevelCellEdited or ResponseCellEdited, which
//   store it and set the modified mark when the text changed.
// - Focus: the rules hold the one focus algorithm (FocusMoved, below). The
//   toolkit reports the focus moves of the user and carries out the moves
//   the rules make (StudyWindowView::SetFocus). Window activation (a message
//   box coming or going, another child window activated) is not a focus
//   change here.
// - The calculation-type box calls ComboBox1Change with its new text on
//   every change, typed or chosen; a redraw through ShowStudy must not.
//
// Checks that fail report themselves: a message box, then (where the rule
// says so) a notebook page, then the focus back to the control to correct.
// While such a report runs, no other exit or entry check runs: the focus
// changes the report makes are not the user's and are not checked. This is
// what keeps two failing checks from answering each other endlessly (an
// entry check sending the focus away from a grid whose exit check would
// send it back).
//
// Handlers that convert a text that is not a whole number where one is
// required (the number of levels on entering a grid) end through the
// general error handler (the host's error box); nothing else happens.

#include "study/calibration_study.h"
#include "study/study_window_view.h"

#include <optional>
#include <string>

namespace valdex {

// A failed check that leaves the notebook page as it is.
inline constexpr int kSamePage = -1;

// The most characters each field accepts; the toolkit enforces them.
int MaxTextLength(Control field);

class StudyWindowRules {
public:
    // A new window with the study of a new window (CalibrationStudy::MakeNew)
    // and the caption "Nuevo". Call FormCreate once the view exists.
    StudyWindowRules(StudyWindowView& view, StudyHost& host);

    StudyWindowRules(const StudyWindowRules&) = delete;
    StudyWindowRules& operator=(const StudyWindowRules&) = delete;

    const CalibrationStudy& Study() const { return study_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Replaces the whole study, as Abrir does after reading a file, and
    // redraws every control. Sets no modified mark.
    void LoadStudy(CalibrationStudy study);

    // Storing user edits (no rules run, no modified mark). `field` is one of
    // esistema, eanalista, efecha, epmedida, ecanad, ComboBox1, enivel.
    void SetFieldText(Control field, std::string text);
    // Levels grid: column 1..L, row 1 (added quantity) or 2 (replicate count).
    void SetLevelCell(int column, int row, std::string text);
    // Responses grid: row 1..N, column 1.
    void SetResponseCell(int row, std::string text);

    // User edits: stored as above, and the modified mark is set when the
    // text changed (a paste, a cut, an undo or a drop changes the study as
    // much as a typed key).
    void FieldEdited(Control field, std::string text);
    void LevelCellEdited(int column, int row, std::string text);
    void ResponseCellEdited(int row, std::string text);

    // A block pasted from a spreadsheet into a grid at `at` (the current
    // cell): tab-separated cells, one line a row. The levels grid takes it as
    // it stands (row 1 the added quantities, row 2 the replicate counts), the
    // responses grid fills rows downward. A block that does not fit is
    // refused whole with a message and nothing changes; otherwise it is an
    // edit like typing: the modified mark, and in the responses grid the
    // calculation commands offered. False when refused.
    bool PasteBlock(Grid grid, GridCell at, const std::string& text);
    // The cells from `from` to `to` (inclusive, data cells) in the format of
    // PasteBlock, for the clipboard.
    std::string CopyBlock(Grid grid, GridCell from, GridCell to) const;

    // ----- Focus -----
    // The focus arrives in the notebook for the first time, on `where`: the
    // rules take it as holding the focus, then run ThojasEnter.
    void NotebookEntered(std::optional<Control> where);
    // The user moved the focus to `to` (Tab, a click, an access key); nullopt
    // for a place inside the window that is none of the controls. Runs the
    // exit check of the control being left, then the entry check of `to`.
    // A check that moves the focus itself, failing or passing (the level
    // count's check sends it to "Aceptar niveles"), ends the move there: the
    // entry check of `to` does not run. True when the move stood.
    // The rules' own moves reach the view through SetFocus; the toolkit's
    // echo of such a move names the control that already has the focus and
    // does nothing.
    bool FocusMoved(std::optional<Control> to);
    // The user turns the notebook page (a tab, Ctrl+PgDown/PgUp): runs the
    // exit check of the control being left. False when a check failed; the
    // page then stays.
    bool LeavePage();
    // The control that holds the focus for the rules.
    std::optional<Control> ActiveControl() const { return active_; }
    // A character key in a field or grid (Enter as kEnterKey, Backspace
    // included), before the toolkit inserts it: the control's KeyPress
    // handler. `current` is the grid's current cell.
    void KeyPress(Control control, char key, GridCell current = {});

    // Shows the level-count check's failure as the check does: its message,
    // page 1, the focus in `enivel` (guarded like any failed check).
    void ReportLevelCheckFailure(const std::string& message);

    // ----- Handlers, named after the control and the event -----

    // Creation: level headings from the level count, response label column
    // widened to 140 pixels, every control drawn. Once, after construction.
    void FormCreate();
    // The focus enters the notebook from outside it (also the first time the
    // window receives the focus): page 0, focus in `esistema`.
    void ThojasEnter();

    // General fields: modified mark; Enter on a non-empty field moves on
    // (method, analyst, date, units, measured property, then back to units).
    void esistemaKeyPress(char key);
    void eanalistaKeyPress(char key);
    void efechaKeyPress(char key);
    void ecanadKeyPress(char key);
    void epmedidaKeyPress(char key);

    // Every change of the calculation-type text: stores it, sets the modified
    // mark and enables Guardar and Guardar como.
    void ComboBox1Change(std::string text);
    // "Regresión" or "Ordenada al Origen": page 0, focus in `esistema`;
    // anything else: "Falta hacer su selección", page 0, focus back.
    void ComboBox1Exit();
    // Copies the measured property into the heading of the responses column.
    void ecanadExit();

    void enivelKeyPress(char key);
    void enivelExit();
    // "Aceptar niveles": as many level columns as the level count, headed
    // "Nivel 1" to "Nivel n". Does nothing for a count that is not a whole
    // number from 2 to 10 (the exit check of `enivel` has already said so).
    void bnivelClick();
    // "Aceptar replicas por nivel": no action of its own.
    void botonrClick() {}

    void stgnivelEnter();
    // `current` is the grid's current cell when the key arrives.
    void stgnivelKeyPress(char key, GridCell current);
    void stgnivelExit();

    // Lays the responses grid out from the levels and, when they are
    // consistent, enables the calculation and print commands. Refuses a
    // replicate count that is not a whole number or is negative, and a total
    // above kMaxFileResponses, with a message of its own (page 1, focus in
    // the levels grid), before anything is laid out.
    void stgdatosEnter();
    void stgdatosKeyPress(char key, GridCell current);
    void stgdatosExit();

    // The popup item "&Detección y Cuantificación": the main window's command.
    void pmnudunetClick();

    // The window is about to close. With the modified mark set, asks the save
    // question: No sets `estado` to " " and allows closing; Yes runs Guardar
    // and allows closing only when the study has been written, so a refused
    // check or a cancelled dialog keeps the window, its study and the mark.
    bool FormCloseQuery();
    // The window has closed: the main window's commands take the state for a
    // closed study window. Call once, after FormCloseQuery allowed closing;
    // the rules must not be used afterwards.
    void FormClose();

private:
    void SetModified();
    // A move of the focus made by a handler: ends any move under way.
    void MoveFocus(Control control);
    bool Move(std::optional<Control> to);
    void RunExit(Control control);
    void RunEnter(Control control);
    void GeneralKeyPress(char key, const std::string& text, Control successor);
    // A failed check: message, optional page, focus back; guarded.
    void ReportFailure(const std::string& message, int page, Control focus);
    // Exit and entry checks do not run while a failure is being reported.
    bool ChecksSuspended() const { return reporting_; }
    bool IsDecimalText(const std::string& text) const;

    StudyWindowView& view_;
    StudyHost& host_;
    CalibrationStudy study_;
    std::string caption_;
    bool reporting_ = false;
    std::optional<Control> active_; // the control holding the focus
    bool exiting_ = false;          // an exit check runs
    unsigned focusMoves_ = 0;       // counts moves, so a move sees a nested one
    unsigned failures_ = 0;         // failed checks reported so far
};

} // namespace valdex
