#pragma once
// The layout machinery both printed designs share: the units fixed at the
// start of a job, the placements by row and column, the levels table that
// goes on in further blocks when it is wider than the page, and the data
// table that goes on over further pages.

#include "calc/calibration.h"
#include "report/page_canvas.h"
#include "study/calibration_study.h"

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

// The placements: row r at y = r * L, column k at x = k * C.
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

struct LevelsTableLayout {
    int FirstRow;    // page row of grid row 0
    int FirstColumn; // page column of the caption column
    int ColumnStep;  // page columns from one grid column to the next
};

// Draws grid columns 0 ... n of the levels grid, rows 0 to 2 (the columns
// beyond the grid hold nothing to print). A column whose texts would overlap
// the next one (a printer whose resolution makes the column unit small)
// moves that next column right, two blanks after them. When a level column would run past
// the page width, the table goes on in a further block of three rows below,
// starting again with the caption column; every block holds at least one
// level. Returns the rows the further blocks add.
int DrawLevelsTable(PageWriter& writer, const CalibrationStudy& study, int levels,
                    const LevelsTableLayout& layout);

struct DataTableLayout {
    int FirstRow;       // page row of grid row 0 on the first page
    int LabelColumn;    // grid column 0
    int ResponseColumn; // grid column 1
    int ContinuedRow;   // page row of the repeated heading row on further pages
};

// What each design does at the end of a page of the data table and at the
// start of the next.
class DataTablePages {
public:
    virtual ~DataTablePages() = default;
    // The last page row the data table may take on the current page.
    virtual int LastDataRow() const = 0;
    // Draws the footer of a page whose last used row is given.
    virtual void FinishPage(int lastUsedRow) = 0;
    // Starts a further page with the page header and the body font.
    virtual void StartPage() = 0;
};

// Starts a further page of the job: the page header in the header font,
// then the body font again for what follows.
template <class DrawHeader> void StartFurtherPage(PageWriter& writer, DrawHeader&& drawHeader) {
    writer.Canvas().NewPage();
    SelectReportFont(writer.Canvas(), writer.Units().HeaderFontSize);
    drawHeader(writer);
    SelectReportFont(writer.Canvas(), writer.Units().BodyFontSize);
}

// Rows 0 ... N of the data grid, column 0 then column 1 on each page; the
// responses move right, two blanks after the widest label, when the labels
// would overlap them. A page
// that is full goes on on a further page that repeats the heading row; each
// page gets at least one row so the table always ends. FinishPage is called
// for every page, the last one included.
void DrawDataTable(PageWriter& writer, const CalibrationStudy& study, long long responses,
                   const DataTableLayout& layout, DataTablePages& pages);

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
