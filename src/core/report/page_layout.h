#pragma once
// The layout machinery both printed designs share: the units fixed at the
// start of a job, the placements by row and column, page 1's body with its
// levels table, which goes on in further blocks when it is wider than the
// page, and its tables going on over further sheets.

#include "calc/calibration.h"
#include "report/page_canvas.h"
#include "study/calibration_study.h"

#include <functional>
#include <span>
#include <string>

namespace valdex {

inline constexpr const char* kReportFont = "ARIAL";
inline constexpr int kHeaderFontSize = 12;
inline constexpr const char* kReportFooter = "VALDEX v.w. 3.1";

// Fixed by the page set-up of every job and kept for the rest of it.
struct LayoutUnits {
    int HeaderFontSize = 0;
    int BodyFontSize = 0;
    int LineUnit = 0;   // L: height of the 12-point header font in device pixels
    int ColumnUnit = 0; // C: that font's point size, used as a number of pixels
    int PageWidth = 0;  // W
    int PageHeight = 0; // printable height, for the pages that continue a table
};

// Begins the job and fixes the units with the 12-point header font selected,
// which stays selected for the header.
LayoutUnits BeginReportJob(PageCanvas& canvas, int bodyFontSize);

void SelectReportFont(PageCanvas& canvas, int pointSize);

// The longest start of the text, whole UTF-8 characters only, that `fits`
// accepts with "…" after it; the text itself when it fits whole, empty when
// not even "…" fits.
std::string Elided(const std::string& text, const std::function<bool(const std::string&)>& fits);

// Draws the body of a begun job and ends it; any failure on the way aborts
// the job, so nothing of it comes out, and propagates.
template <class Body> void RunJobBody(PageCanvas& canvas, Body&& body) {
    try {
        body();
    } catch (...) {
        canvas.Abort();
        throw;
    }
    canvas.EndDoc();
}

// The placements: row r at y = r * L, column k at x = k * C. Every text is
// shown with its control characters escaped, and a text that would run past
// the printable width ends in "…" at its right edge (one line each).
class PageWriter {
public:
    PageWriter(PageCanvas& canvas, const LayoutUnits& units) : canvas_(canvas), units_(units) {}

    void AtColumn(int row, int column, const std::string& text);
    void AtX(int row, int x, const std::string& text);
    // Where a table column starts: at its own column, or two blanks after
    // `previousEnd` (where the column before it ends) when that would overlap it.
    int TableColumnX(int column, int previousEnd) const;
    // (W - width) / 2, truncated toward zero; the width in the font in force.
    void Centred(int row, const std::string& text);
    void RightAligned(int row, const std::string& text);
    // From (0, y) to (W, y).
    void Rule(int row);
    // The width of the text as it is shown, in the font in force.
    int Width(const std::string& text) const;

    // The last row whose line lies wholly on the page.
    int LastRowOnPage() const;
    int ColumnX(int column) const { return column * units_.ColumnUnit; }
    int RowY(int row) const { return row * units_.LineUnit; }

    PageCanvas& Canvas() { return canvas_; }
    const LayoutUnits& Units() const { return units_; }

private:
    PageCanvas& canvas_;
    const LayoutUnits& units_;
};

// The integer value of the level count text (throws ConversionError).
int PrintedLevelCount(const CalibrationStudy& study);

// N: the sum of the replicate counts of levels 1 ... n, each converted as
// it is reached (throws ConversionError); 0 when n is 0 or less. A sum
// below zero counts as 0 so the table never climbs above its heading row.
long long PrintedResponseCount(const CalibrationStudy& study, int levels);

// One line of a page body: a label, then a field of the study (none when
// the line is all label), then a closing text.
struct BodyLine {
    enum Placement { Centred, LeftColumn };
    int Row;
    Placement At;
    const char* Label;
    std::string CalibrationStudy::*Field = nullptr;
    const char* Close = "";
};

// Draws `lines` in order, the LeftColumn ones at `leftColumn`.
void DrawBodyLines(PageWriter& writer, int leftColumn, std::span<const BodyLine> lines,
                   const CalibrationStudy& study);

// How page 1 goes on over further sheets of paper when its tables do not fit
// on one: where the tables may reach on a sheet, each sheet's footer, and
// what a further sheet starts with. A page that fits on one sheet is drawn
// exactly as the design gives it; when it takes n > 1 sheets, every footer
// row also carries "Página i de n" at the left, and every further sheet
// repeats the method name on the row under its header, the tables going on
// on the row after it.
class SheetFlow {
public:
    // `sheets` is the number of sheets the page takes (1 while it is being
    // counted); `methodRow` the row of the method name on further sheets.
    SheetFlow(PageWriter& writer, const CalibrationStudy& study, int sheets, int leftColumn,
              int methodRow)
        : writer_(writer), study_(study), sheets_(sheets), leftColumn_(leftColumn),
          methodRow_(methodRow) {}
    virtual ~SheetFlow() = default;

    // The last row the tables may take on the current sheet.
    virtual int LastBodyRow() const = 0;
    // The first row the tables take on a further sheet.
    int ContinuedRow() const { return methodRow_ + 1; }
    // Draws the footer of the current sheet, whose last used row is given.
    void FinishSheet(int lastUsedRow);
    // Starts a further sheet: the header, the method name, the body font.
    void StartSheet();

protected:
    virtual int FooterRow(int lastUsedRow) const = 0;
    virtual int RuleRow(int lastUsedRow) const = 0;
    virtual void DrawHeader(PageWriter& writer) = 0;

    PageWriter& writer_;

private:
    const CalibrationStudy& study_;
    int sheets_;
    int leftColumn_;
    int methodRow_;
    int sheet_ = 1;
};

// "Página i de n".
std::string SheetNumber(int sheet, int sheets);

struct LevelsTableLayout {
    int FirstRow;    // page row of grid row 0
    int FirstColumn; // page column of the caption column
    int ColumnStep;  // page columns from one grid column to the next
};

// Draws grid columns 0 ... n of the levels grid, rows 0 to 2 (the columns
// beyond the grid hold nothing to print). A column whose texts would overlap
// the next one (a printer whose resolution makes the column unit small)
// moves that next column right, two blanks after them. When a level column
// would run past the page width, the table goes on in a further block of
// three rows below, starting again with the caption column; every block
// holds at least one level. A block that would reach below the sheet's last
// body row goes on a further sheet. Returns the page row of the last block.
int DrawLevelsTable(PageWriter& writer, const CalibrationStudy& study, int levels,
                    const LevelsTableLayout& layout, SheetFlow& sheets);

struct DataTableLayout {
    int FirstRow;       // page row of grid row 0 on the sheet the table starts on
    int LabelColumn;    // grid column 0
    int ResponseColumn; // grid column 1
};

// Rows 0 ... N of the data grid, column 0 then column 1 on each sheet; the
// responses move right, two blanks after the widest label, when the labels
// would overlap them. A sheet that is full goes on on a further sheet that
// repeats the heading row; each further sheet gets at least one row so the
// table always ends. FinishSheet is called for every sheet, the last one
// included; `rowAbove` is the last row used above the table, the footer's
// reference when the table's first sheet has no room for it.
void DrawDataTable(PageWriter& writer, const CalibrationStudy& study, long long responses,
                   const DataTableLayout& layout, int rowAbove, SheetFlow& sheets);

// What page 1 of a design holds: the lines at its top, the levels table,
// and the data table `DataBelowLevels` rows below the levels table's last
// block.
struct GeneralPageDesign {
    std::span<const BodyLine> Lines;
    int LeftColumn;
    LevelsTableLayout Levels;
    int DataBelowLevels;
    int LabelColumn;
    int ResponseColumn;
};

// Page 1's body, from the top lines to the footer of its last sheet.
void DrawGeneralPage(PageWriter& writer, const CalibrationStudy& study,
                     const GeneralPageDesign& design, SheetFlow& sheets);

// Measures as the canvas it wraps but draws nothing: a dry run of a page
// counts the sheets it takes, so that the real run can number them.
class SheetCounter : public PageCanvas {
public:
    explicit SheetCounter(PageCanvas& device) : device_(device) {}

    void BeginDoc() override {}
    void EndDoc() override {}
    void Abort() override {}
    void NewPage() override { ++sheets_; }
    void SetFont(const std::string& name, int pointSize, FontPitch pitch) override {
        device_.SetFont(name, pointSize, pitch);
    }
    int FontHeight() const override { return device_.FontHeight(); }
    int FontPointSize() const override { return device_.FontPointSize(); }
    int TextWidth(const std::string& text) const override { return device_.TextWidth(text); }
    void TextOut(int, int, const std::string&) override {}
    void DrawLine(int, int, int, int) override {}
    int PageWidth() const override { return device_.PageWidth(); }
    int PageHeight() const override { return device_.PageHeight(); }
    void DrawStyledLine(CanvasPoint, CanvasPoint, const LinePen&) override {}
    void DrawPolyline(const std::vector<CanvasPoint>&, const LinePen&) override {}
    void DrawRectangle(const CanvasRect&, const LinePen&, std::optional<CanvasColour>) override {}
    void DrawMarker(CanvasPoint, MarkerShape, double, CanvasColour) override {}
    void SetClip(const CanvasRect&) override {}
    void ClearClip() override {}

    int Sheets() const { return sheets_; }

private:
    PageCanvas& device_;
    int sheets_ = 1;
};

// Runs `draw(canvas, sheets)` twice: a dry run that counts the sheets the
// page takes, then on `canvas` with that count, so that sheet 1 already
// knows it is "de n".
template <class Draw> void DrawNumberedSheets(PageCanvas& canvas, Draw&& draw) {
    SheetCounter counter(canvas);
    draw(static_cast<PageCanvas&>(counter), 1);
    draw(canvas, counter.Sheets());
}

// The limit lines are printed only for the two known calculation types.
bool PrintsLimits(const std::string& calculationType);

// The labels of the results page, which each design writes in its own case.
struct ResultLabels {
    const char* Slope;
    const char* SlopeCIUpper;
    const char* SlopeCILower;
    const char* Intercept;
    const char* InterceptCIUpper;
    const char* InterceptCILower;
    const char* RegressionSD;
    const char* CV;
    const char* R2;
    const char* InterceptSD;
    const char* LD;
    const char* LC;
};

// Rows 15 to 25 of the results page at `column`, the intercept's deviation at
// row 27 for "Ordenada al Origen", then the two limit lines `limitsBelow` and
// `limitsBelow` + 1 rows below the last of those. Returns that last row (25
// or 27), from which the designs place what follows.
int DrawResultRows(PageWriter& writer, int column, const ResultLabels& labels,
                   const CalibrationStudy& study, const CalibrationResult& result,
                   char decimalSeparator, int limitsBelow);

} // namespace valdex
