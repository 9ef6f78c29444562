#pragma once
// The "Deskjet" printed report: the same two pages as the laser report with
// a header for the laboratory, upper-case results, a narrow left column, an
// 11-point body and a footer that follows the data.

#include "calc/calibration.h"
#include "report/page_canvas.h"
#include "report/page_layout.h"
#include "report/printed_report.h"
#include "study/calibration_study.h"

namespace valdex {

// Owns its layout units and its own calculation result, both overwritten by
// every print. The level-count check runs before its options dialog opens,
// not here.
class DeskjetReport : public PrintedReport {
public:
    explicit DeskjetReport(char decimalSeparator = '.') : calculator_(decimalSeparator) {}

    void PrintGeneralPage(PageCanvas& canvas, const CalibrationStudy& study) override;
    void PrintResultsPage(PageCanvas& canvas, const CalibrationStudy& study) override;

    // Begins the job, fixes the units and draws the page header.
    void DeskjetPageSetup(PageCanvas& canvas);
    // Page 1, ended with the job; any failure after the job began aborts it.
    void DeskjetGeneralPage(PageCanvas& canvas, const CalibrationStudy& study);
    // Page 2 from a copy of the result, ended with the job.
    void DeskjetResultsPage(PageCanvas& canvas, const CalibrationStudy& study,
                            CalibrationResult result);

    const LayoutUnits& Units() const { return units_; }
    const CalibrationResult& Result() const { return result_; }

private:
    class Sheets;
    void DrawGeneralBody(PageCanvas& canvas, const CalibrationStudy& study);
    void DrawResultsBody(PageCanvas& canvas, const CalibrationStudy& study,
                         const CalibrationResult& result);
    void DrawHeader(PageWriter& writer);

    LayoutUnits units_;
    CalibrationResult result_;
    CalibrationCalculator calculator_;
};

} // namespace valdex
