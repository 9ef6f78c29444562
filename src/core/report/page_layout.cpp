#include "report/page_layout.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "calc/calibration.h"
#include "calc/format_general.h"
#include "calc/result_fields.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

namespace valdex {

LayoutUnits BeginReportJob(PageCanvas& canvas, int bodyFontSize) {
    LayoutUnits units;
    units.HeaderFontSize = kHeaderFontSize;
    units.BodyFontSize = bodyFontSize;
    canvas.BeginDoc();
    SelectReportFont(canvas, units.HeaderFontSize);
    // Both units come from the header font and stay for the body font too.
    units.LineUnit = std::abs(canvas.FontHeight());
    units.ColumnUnit = canvas.FontPointSize();
    units.PageWidth = canvas.PageWidth();
    units.PageHeight = canvas.PageHeight();
    return units;
}

void SelectReportFont(PageCanvas& canvas, int pointSize) {
    canvas.SetFont(kReportFont, pointSize, FontPitch::Default);
}

std::string Elided(const std::string& text, const std::function<bool(const std::string&)>& fits) {
    if (fits(text)) return text;
    // Where each whole character ends; the longest start that fits, found by
    // halving.
    std::vector<std::size_t> ends;
    for (std::size_t i = 1; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ends.push_back(i);
    std::size_t low = 0, high = ends.size(); // ends[0 .. low) are known to fit
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (fits(text.substr(0, ends[middle - 1]) + "…"))
            low = middle;
        else
            high = middle - 1;
    }
    if (low > 0) return text.substr(0, ends[low - 1]) + "…";
    return fits("…") ? "…" : "";
}

namespace {

// The text as shown from `x`: escaped, and cut with "…" at the page's right edge.
std::string ShownFrom(const PageCanvas& canvas, int x, int pageWidth, const std::string& text) {
    const std::string shown = DisplayText(text);
    return Elided(shown,
                  [&](const std::string& t) { return x + canvas.TextWidth(t) <= pageWidth; });
}

} // namespace

void PageWriter::AtColumn(int row, int column, const std::string& text) {
    AtX(row, ColumnX(column), text);
}

void PageWriter::AtX(int row, int x, const std::string& text) {
    canvas_.TextOut(x, RowY(row), ShownFrom(canvas_, x, units_.PageWidth, text));
}

int PageWriter::Width(const std::string& text) const {
    return canvas_.TextWidth(DisplayText(text));
}

int PageWriter::TableColumnX(int column, int previousEnd) const {
    // At a high resolution the column unit (a point size used as pixels) is
    // narrower than the texts; overlapping columns could not be read. Only an
    // actual overlap moves the column.
    const int x = ColumnX(column);
    return previousEnd <= x ? x : previousEnd + canvas_.TextWidth("  ");
}

void PageWriter::Centred(int row, const std::string& text) {
    // Integer division truncates toward zero.
    const std::string shown = ShownFrom(canvas_, 0, units_.PageWidth, text);
    canvas_.TextOut((units_.PageWidth - canvas_.TextWidth(shown)) / 2, RowY(row), shown);
}

void PageWriter::RightAligned(int row, const std::string& text) {
    const std::string shown = ShownFrom(canvas_, 0, units_.PageWidth, text);
    canvas_.TextOut(units_.PageWidth - canvas_.TextWidth(shown), RowY(row), shown);
}

void PageWriter::Rule(int row) {
    canvas_.DrawLine(0, RowY(row), units_.PageWidth, RowY(row));
}

int PageWriter::LastRowOnPage() const {
    if (units_.LineUnit <= 0 || units_.PageHeight <= 0) return INT_MAX;
    return units_.PageHeight / units_.LineUnit - 1;
}

int PrintedLevelCount(const CalibrationStudy& study) {
    return ToInteger(study.LevelCount);
}

long long PrintedResponseCount(const CalibrationStudy& study, int levels) {
    // A level beyond the grid has an empty count: the conversion error.
    return std::max(TotalReplicates(ReplicateCounts(study, levels)), 0LL);
}

void DrawBodyLines(PageWriter& writer, int leftColumn, std::span<const BodyLine> lines,
                   const CalibrationStudy& study) {
    for (const BodyLine& line : lines) {
        std::string text = line.Label;
        if (line.Field != nullptr) text += study.*line.Field;
        text += line.Close;
        if (line.At == BodyLine::Centred)
            writer.Centred(line.Row, text);
        else
            writer.AtColumn(line.Row, leftColumn, text);
    }
}

std::string SheetNumber(int sheet, int sheets) {
    return "Página " + std::to_string(sheet) + " de " + std::to_string(sheets);
}

void SheetFlow::FinishSheet(int lastUsedRow) {
    const int footerRow = FooterRow(lastUsedRow);
    // A single sheet carries no number, as the design has it.
    if (sheets_ > 1) writer_.AtColumn(footerRow, leftColumn_, SheetNumber(sheet_, sheets_));
    writer_.RightAligned(footerRow, kReportFooter);
    writer_.Rule(RuleRow(lastUsedRow));
}

void SheetFlow::StartSheet() {
    PageCanvas& canvas = writer_.Canvas();
    canvas.NewPage();
    ++sheet_;
    SelectReportFont(canvas, writer_.Units().HeaderFontSize);
    DrawHeader(writer_);
    SelectReportFont(canvas, writer_.Units().BodyFontSize);
    // A loose further sheet still says which study it belongs to.
    writer_.AtColumn(methodRow_, leftColumn_, "Nombre del Método: " + study_.MethodName);
}

int DrawLevelsTable(PageWriter& writer, const CalibrationStudy& study, int levels,
                    const LevelsTableLayout& layout, SheetFlow& sheets) {
    const int lastColumn = std::min(levels, study.LevelColumns());
    int blockRow = layout.FirstRow;
    if (lastColumn < 0) return blockRow;
    auto widest = [&](int gridColumn) {
        int width = 0;
        for (int row = 0; row < 3; ++row)
            width = std::max(width, writer.Width(study.LevelCell(gridColumn, row)));
        return width;
    };
    int slot = 0;
    int previousEnd = 0; // right end of the widest text of the column drawn last
    auto draw = [&](int gridColumn, int x) {
        for (int row = 0; row < 3; ++row)
            writer.AtX(blockRow + row, x, study.LevelCell(gridColumn, row));
        previousEnd = x + widest(gridColumn);
        ++slot;
    };
    auto drawCaptions = [&] {
        slot = 0;
        draw(0, writer.ColumnX(layout.FirstColumn));
    };
    auto nextX = [&] {
        return writer.TableColumnX(layout.FirstColumn + layout.ColumnStep * slot, previousEnd);
    };

    drawCaptions();
    for (int c = 1; c <= lastColumn; ++c) {
        if (slot > 1 && nextX() + widest(c) > writer.Units().PageWidth) {
            blockRow += 3;
            if (blockRow + 2 > sheets.LastBodyRow()) {
                sheets.FinishSheet(blockRow - 1);
                sheets.StartSheet();
                blockRow = sheets.ContinuedRow();
            }
            drawCaptions();
        }
        draw(c, nextX());
    }
    return blockRow;
}

void DrawDataTable(PageWriter& writer, const CalibrationStudy& study, long long responses,
                   const DataTableLayout& layout, int rowAbove, SheetFlow& sheets) {
    // Rows beyond the grid hold nothing to print.
    const long long lastGridRow =
        std::min<long long>(std::max(responses, 0LL), study.ResponseRows());
    int widestLabel = 0;
    for (long long row = 0; row <= lastGridRow; ++row)
        widestLabel =
            std::max(widestLabel, writer.Width(study.ResponseCell(0, static_cast<int>(row))));
    const int responseX = writer.TableColumnX(layout.ResponseColumn,
                                              writer.ColumnX(layout.LabelColumn) + widestLabel);
    int gridRow = 0;
    bool firstSheet = true;
    for (;;) {
        std::vector<std::pair<int, int>> rows; // grid row, page row
        int pageRow = layout.FirstRow;
        bool mustTakeOne = false;
        if (!firstSheet) {
            rows.emplace_back(0, sheets.ContinuedRow());
            pageRow = sheets.ContinuedRow() + 1;
            // The heading row was the one left over when the first sheet had no room at all.
            if (gridRow == 0)
                gridRow = 1;
            else
                mustTakeOne = true;
        }
        const int lastRow = sheets.LastBodyRow();
        while (gridRow <= lastGridRow && (pageRow <= lastRow || mustTakeOne)) {
            rows.emplace_back(gridRow++, pageRow++);
            mustTakeOne = false;
        }
        for (const auto& [grid, page] : rows)
            writer.AtColumn(page, layout.LabelColumn, study.ResponseCell(0, grid));
        for (const auto& [grid, page] : rows)
            writer.AtX(page, responseX, study.ResponseCell(1, grid));
        sheets.FinishSheet(rows.empty() ? rowAbove : rows.back().second);
        if (gridRow > lastGridRow) return;
        sheets.StartSheet();
        firstSheet = false;
    }
}

void DrawGeneralPage(PageWriter& writer, const CalibrationStudy& study,
                     const GeneralPageDesign& design, SheetFlow& sheets) {
    DrawBodyLines(writer, design.LeftColumn, design.Lines, study);
    const int levels = PrintedLevelCount(study);
    const int lastBlock = DrawLevelsTable(writer, study, levels, design.Levels, sheets);
    const long long responses = PrintedResponseCount(study, levels);
    const DataTableLayout data{lastBlock + design.DataBelowLevels, design.LabelColumn,
                               design.ResponseColumn};
    DrawDataTable(writer, study, responses, data, lastBlock + 2, sheets);
}

bool PrintsLimits(const std::string& calculationType) {
    return IsKnownCalculationType(calculationType);
}

namespace {

// The statistics of the results page, rows 15 to 25.
struct ResultRow {
    int Row;
    const char* ResultLabels::*Label;
    ResultMember Field;
};

using R = CalibrationResult;
using L = ResultLabels;
constexpr ResultRow kStatisticRows[] = {
    {15, &L::Slope, &R::Slope},
    {16, &L::SlopeCIUpper, &R::SlopeCIUpper},
    {17, &L::SlopeCILower, &R::SlopeCILower},
    {19, &L::Intercept, &R::Intercept},
    {20, &L::InterceptCIUpper, &R::InterceptCIUpper},
    {21, &L::InterceptCILower, &R::InterceptCILower},
    {23, &L::RegressionSD, &R::RegressionSD},
    {24, &L::CV, &R::CV},
    {25, &L::R2, &R::R2},
};

} // namespace

int DrawResultRows(PageWriter& writer, int column, const ResultLabels& labels,
                   const CalibrationStudy& study, const CalibrationResult& result, char sep,
                   int limitsBelow) {
    auto value = [&](ResultMember field) { return FormatResult(result, field, sep); };
    for (const ResultRow& row : kStatisticRows)
        writer.AtColumn(row.Row, column, labels.*row.Label + value(row.Field));

    const std::string& type = study.CalculationType;
    int last = 25;
    if (type == kInterceptMethod) {
        writer.AtColumn(27, column, labels.InterceptSD + value(&R::InterceptSD));
        last = 27;
    }
    // The calculation gives no limits for any other type; the rows after
    // them keep their places.
    if (PrintsLimits(type)) {
        const std::string quoted = "\"" + type + "\" = ";
        const std::string units = " " + study.AddedQuantityUnits;
        writer.AtColumn(last + limitsBelow, column, labels.LD + quoted + value(&R::LD) + units);
        writer.AtColumn(last + limitsBelow + 1, column, labels.LC + quoted + value(&R::LC) + units);
    }
    return last;
}

} // namespace valdex
