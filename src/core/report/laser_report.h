#pragma once
// The "Lasser" printed report: page 1 "Información y Datos Generales" and
// page 2 "Límite de Detección y Cuantificación del Sistema", on any printer.

#include "calc/calibration.h"
#include "report/page_canvas.h"
#include "report/page_layout.h"
#include "report/printed_report.h"
#include "study/calibration_study.h"

namespace valdex {

// Owns its layout units and its own calculation result, both overwritten by
// every print.
class LaserReport : public PrintedReport {
public:
    explicit LaserReport(char decimalSeparator = '.') : calculator_(decimalSeparator) {}

    void PrintGeneralPage(PageCanvas& canvas, const CalibrationStudy& study) override;
    void PrintResultsPage(PageCanvas& canvas, const CalibrationStudy& study) override;

    // Begins the job, fixes the units and draws the page header.
    void LaserPageSetup(PageCanvas& canvas);
    // The page footer of a job begun by LaserPageSetup, for further pages
    // in this design: the product name and the rule under it.
    void LaserPageFooter(PageCanvas& canvas);
    // A further page of a job begun by LaserPageSetup, with the page header;
    // the body font is selected again after it.
    void LaserNextPage(PageCanvas& canvas);
    // The row of the page footer, where a page's number goes at the left.
    static int FooterRow();
    // The last row a page body may take, above the footer.
    static int LastBodyRow();
    // Page 1, ended with the job; any failure after the job began aborts it.
    void LaserGeneralPage(PageCanvas& canvas, const CalibrationStudy& study);
    // Page 2 from a copy of the result, ended with the job.
    void LaserResultsPage(PageCanvas& canvas, const CalibrationStudy& study,
                          CalibrationResult result);

    const LayoutUnits& Units() const { return units_; }
    const CalibrationResult& Result() const { return result_; }

private:
    class Sheets;
    void DrawGeneralBody(PageCanvas& canvas, const CalibrationStudy& study);
    void DrawResultsBody(PageCanvas& canvas, const CalibrationStudy& study,
                         const CalibrationResult& result);
    void DrawHeader(PageWriter& writer);
    void DrawFooter(PageWriter& writer);

    LayoutUnits units_;
    CalibrationResult result_;
    CalibrationCalculator calculator_;
};

} // namespace valdex
