#include "report/page_layout.h"

#include "base/number_conversion.h"
#include "calc/calibration.h"
#include "calc/format_general.h"

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

void PageWriter::AtColumn(int row, int column, const std::string& text) {
    canvas_.TextOut(ColumnX(column), RowY(row), text);
}

void PageWriter::AtX(int row, int x, const std::string& text) {
    canvas_.TextOut(x, RowY(row), text);
}

int PageWriter::TableColumnX(int column, int previousEnd) const {
    // At a high resolution the column unit (a point size used as pixels) is
    // narrower than the texts; overlapping columns could not be read. Only an
    // actual overlap moves the column.
    const int x = ColumnX(column);
    return previousEnd <= x ? x : previousEnd + canvas_.TextWidth("  ");
}

void PageWriter::Centred(int row, const std::string& text) {
    // Integer division truncates toward zero, also for a text wider than the page.
    canvas_.TextOut((units_.PageWidth - canvas_.TextWidth(text)) / 2, RowY(row), text);
}

void PageWriter::RightAligned(int row, const std::string& text) {
    canvas_.TextOut(units_.PageWidth - canvas_.TextWidth(text), RowY(row), text);
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

int DrawLevelsTable(PageWriter& writer, const CalibrationStudy& study, int levels,
                    const LevelsTableLayout& layout) {
    const int lastColumn = std::min(levels, study.LevelColumns());
    if (lastColumn < 0) return 0;
    PageCanvas& canvas = writer.Canvas();
    int blockRow = layout.FirstRow;
    auto widest = [&](int gridColumn) {
        int width = 0;
        for (int row = 0; row < 3; ++row)
            width = std::max(width, canvas.TextWidth(study.LevelCell(gridColumn, row)));
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
            drawCaptions();
        }
        draw(c, nextX());
    }
    return blockRow - layout.FirstRow;
}

void DrawDataTable(PageWriter& writer, const CalibrationStudy& study, long long responses,
                   const DataTableLayout& layout, DataTablePages& pages) {
    // Rows beyond the grid hold nothing to print.
    const long long lastGridRow =
        std::min<long long>(std::max(responses, 0LL), study.ResponseRows());
    int widestLabel = 0;
    for (long long row = 0; row <= lastGridRow; ++row)
        widestLabel = std::max(
            widestLabel, writer.Canvas().TextWidth(study.ResponseCell(0, static_cast<int>(row))));
    const int responseX = writer.TableColumnX(layout.ResponseColumn,
                                              writer.ColumnX(layout.LabelColumn) + widestLabel);
    int gridRow = 0;
    bool firstPage = true;
    for (;;) {
        std::vector<std::pair<int, int>> rows; // grid row, page row
        int pageRow = layout.FirstRow;
        bool mustTakeOne = false;
        if (!firstPage) {
            rows.emplace_back(0, layout.ContinuedRow);
            pageRow = layout.ContinuedRow + 1;
            // The heading row was the one left over when the first page had no room at all.
            if (gridRow == 0)
                gridRow = 1;
            else
                mustTakeOne = true;
        }
        const int lastRow = pages.LastDataRow();
        while (gridRow <= lastGridRow && (pageRow <= lastRow || mustTakeOne)) {
            rows.emplace_back(gridRow++, pageRow++);
            mustTakeOne = false;
        }
        for (const auto& [grid, page] : rows)
            writer.AtColumn(page, layout.LabelColumn, study.ResponseCell(0, grid));
        for (const auto& [grid, page] : rows)
            writer.AtX(page, responseX, study.ResponseCell(1, grid));
        pages.FinishPage(rows.empty() ? layout.FirstRow - 1 : rows.back().second);
        if (gridRow > lastGridRow) return;
        pages.StartPage();
        firstPage = false;
    }
}

bool PrintsLimits(const std::string& calculationType) {
    return IsKnownCalculationType(calculationType);
}

int DrawResultRows(PageWriter& writer, int column, const ResultLabels& labels,
                   const CalibrationStudy& study, const CalibrationResult& result, char sep,
                   int limitsBelow) {
    auto line = [&](int row, const char* label, double value, int precision) {
        writer.AtColumn(row, column, label + FormatGeneral(value, precision, sep));
    };
    line(15, labels.Slope, result.Slope, kPrecision8);
    line(16, labels.SlopeCIUpper, result.SlopeCIUpper, kPrecision8);
    line(17, labels.SlopeCILower, result.SlopeCILower, kPrecision8);
    line(19, labels.Intercept, result.Intercept, kPrecision6);
    line(20, labels.InterceptCIUpper, result.InterceptCIUpper, kPrecision6);
    line(21, labels.InterceptCILower, result.InterceptCILower, kPrecision6);
    line(23, labels.RegressionSD, result.RegressionSD, kPrecision6);
    line(24, labels.CV, result.CV, kPrecision6);
    line(25, labels.R2, result.R2, kPrecision8);

    const std::string& type = study.CalculationType;
    int last = 25;
    if (type == kInterceptMethod) {
        line(27, labels.InterceptSD, result.InterceptSD, kPrecision6);
        last = 27;
    }
    // The calculation gives no limits for any other type; the rows after
    // them keep their places.
    if (PrintsLimits(type)) {
        const std::string quoted = "\"" + type + "\" = ";
        const std::string units = " " + study.AddedQuantityUnits;
        writer.AtColumn(last + limitsBelow, column,
                        labels.LD + quoted + FormatGeneral(result.LD, kPrecision6, sep) + units);
        writer.AtColumn(last + limitsBelow + 1, column,
                        labels.LC + quoted + FormatGeneral(result.LC, kPrecision6, sep) + units);
    }
    return last;
}

} // namespace valdex
