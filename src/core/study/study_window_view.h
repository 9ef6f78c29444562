#pragma once
// What the study window's rules need of the toolkit (StudyWindowView) and of
// the main window (StudyHost). The Qt study window implements the view; the
// main window's rules (MainWindowRules) implement the host. A test drives
// both with fakes.

#include "base/error_handler.h"
#include "study/calibration_study.h"

#include <string>

namespace valdex {

// The controls the rules move the focus to, named as the window names them.
enum class Control {
    esistema,  // method name
    eanalista, // analyst
    efecha,    // date
    epmedida,  // measured property
    ecanad,    // units of the added quantity
    ComboBox1, // calculation type
    enivel,    // number of levels
    bnivel,    // "Aceptar niveles"
    stgnivel,  // levels grid
    botonr,    // "Aceptar replicas por nivel"
    stgdatos,  // responses grid
};

enum class Grid { stgnivel, stgdatos };

// Cell mode: Tab moves from cell to cell. Leave mode: Tab leaves the grid.
enum class GridMode { Cell, Leave };

// A grid cell by column and row; row 0 and column 0 are the heading cells.
struct GridCell {
    int column = 0;
    int row = 0;
};

// Which controls to redraw from the study record.
enum class StudyPart {
    All,           // every field and both grids
    LevelsGrid,    // columns, headings and cells of the levels grid
    ResponsesGrid, // rows, heading, labels and responses of the responses grid
};

// The character of the Enter key, as the key handlers receive it.
inline constexpr char kEnterKey = '\r';

// Notebook pages.
inline constexpr int kGeneralPage = 0; // "Información General"
inline constexpr int kLevelsPage = 1;  // "Información de niveles"
inline constexpr int kDataPage = 2;    // "Captura de Datos"

// The study window as the rules see it. Every call is synchronous. The view
// may call back into the rules' handlers from inside SetFocus and SelectPage
// (a toolkit does when the focus moves); the rules expect that.
class StudyWindowView {
public:
    virtual ~StudyWindowView() = default;

    // A modal box with `text`, one OK button and kApplicationTitle as caption.
    virtual void ShowMessage(const std::string& text) = 0;
    // A modal Yes/No box with a question icon; true for Yes ("Sí").
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // Notebook page 0, 1 or 2 (kGeneralPage, kLevelsPage, kDataPage).
    virtual void SelectPage(int page) = 0;
    virtual void SetFocus(Control control) = 0;
    virtual void SetGridMode(Grid grid, GridMode mode) = 0;
    virtual void SetCurrentCell(Grid grid, GridCell cell) = 0;
    virtual void SetColumnWidth(Grid grid, int column, int pixels) = 0;
    // Redraw the controls of `part` from `study` (the rules' record). The
    // view must not report these writes back as user edits or changes of
    // the calculation-type box.
    virtual void ShowStudy(const CalibrationStudy& study, StudyPart part) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
};

class StudyWindowRules;

// What the study window needs of the main window.
class StudyHost : public ErrorBox {
public:
    // The status panel `estado`, which holds the modified mark.
    virtual std::string Estado() const = 0;
    virtual void SetEstado(const std::string& text) = 0;
    // What happened in the window that the main window's commands follow:
    // the calculation-type text changed, the data page was entered with
    // consistent levels, a key was typed in the data grid.
    virtual void CalculationTypeChanged() = 0;
    virtual void DataPageEntered() = 0;
    virtual void DataKeyTyped() = 0;
    // The main window's "Detección y Cuantificación" (mnudunetClick).
    virtual void RunCalculation() = 0;
    // The main window's Guardar (FileSave) inside the general error handler;
    // true only when the study has been written.
    virtual bool SaveStudy() = 0;
    // The study window has closed (after its FormCloseQuery allowed it).
    virtual void StudyWindowClosed(StudyWindowRules& window) = 0;
    // The user closed the study window discarding its changes.
    virtual void ChangesDiscarded() {}
    // The decimal separator for the number checks.
    virtual char DecimalSeparator() const = 0;
};

} // namespace valdex
