#pragma once
// The printed diagnostics, two numbered pages in the "Lasser" design, each
// with its header, footer and the study's identification: on the first the
// calibration and residual plots (of the weighted line when a weight is
// chosen) and, under them, the summary of the tests; on the second the
// normal probability plot of the residuals and the spread of the levels.

#include "diagnostics/diagnostics.h"
#include "plots/diagnostics_plots.h"
#include "plots/spread_plots.h"
#include "report/page_canvas.h"
#include "report/page_layout.h"
#include "study/calibration_study.h"

#include <string>
#include <vector>

namespace valdex {

inline constexpr const char* kDiagnosticsPageTitle = "Diagnóstico de la Curva de Calibración";

// Where the page put its parts.
struct DiagnosticsPageLayout {
    LayoutUnits units;
    CanvasRect plotsArea;
    DiagnosticsPlots plots;
    int summaryRow = 0;               // the row of the summary's first line
    std::vector<std::string> summary; // as printed, one line per row
    CanvasRect spreadArea;            // on the second page
    ResidualSpreadPlots spread;
};

// Begins the job, draws both pages and ends it; a failure after the job began
// aborts it and propagates.
DiagnosticsPageLayout PrintDiagnosticsPage(PageCanvas& canvas, const CalibrationStudy& study,
                                           const Diagnostics& diagnostics, char decimalSeparator);

// The lines cut at blanks so that none is wider than `width` in the canvas's
// font; a word wider than that is cut between its characters.
std::vector<std::string> WrapLines(const PageCanvas& canvas, const std::vector<std::string>& lines,
                                   int width);

} // namespace valdex
