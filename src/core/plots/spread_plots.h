#pragma once
// The two plots about the residuals' distribution and the levels' spread,
// drawn on any page canvas like the calibration and residual plots.
//
// Normal probability plot: the residuals drawn (e/s(y/x), or √w·e/s_w under
// a weight), sorted, against the normal quantiles of Blom's plotting
// positions Φ⁻¹((i − 3/8)/(n + 1/4)), with the reference line through the
// quartiles (as R's qqline: the sample's quartiles of type 7 against
// Φ⁻¹(0.25) and Φ⁻¹(0.75)); Shapiro–Wilk's W and p in its note.
//
// Spread of the levels: s of each level against x, with the variance
// function s(x) = c₀ + c₁·x when that weight is chosen, and beneath it CV %
// against x (in a rectangle too low for two plots, the CV % of each level in
// the notes of the one plot instead); the F test of the end levels in its
// note.

#include "plots/diagnostics_plots.h"
#include "plots/plot_data.h"
#include "plots/plot_layout.h"
#include "report/page_canvas.h"

#include <optional>
#include <vector>

namespace valdex {

inline constexpr CanvasColour kQuartileLineColour = 0x1565C0;
inline constexpr CanvasColour kSpreadColour = 0x6A1B9A;

// Φ⁻¹((i − 3/8)/(n + 1/4)) for i = 1 … n.
std::vector<double> BlomQuantiles(int n);

struct QQData {
    std::vector<double> theoretical, sample; // sample sorted, ascending
    std::optional<double> slope, intercept;  // the line through the quartiles
};
QQData MakeQQData(const PlotData& data);

PlotGeometry DrawNormalProbabilityPlot(PageCanvas& canvas, const PlotData& data,
                                       const CanvasRect& area, char decimalSeparator);

struct SpreadPlots {
    PlotGeometry sd, cv; // cv not drawn when CV % stands in the notes
};
SpreadPlots DrawLevelSpreadPlots(PageCanvas& canvas, const PlotData& data, const CanvasRect& area,
                                 char decimalSeparator);

// Both in the rectangle: side by side when it is much wider than high, else
// one above the other.
struct ResidualSpreadPlots {
    PlotGeometry normal;
    SpreadPlots spread;
};
ResidualSpreadPlots DrawResidualSpreadPlots(PageCanvas& canvas, const PlotData& data,
                                            const CanvasRect& area, char decimalSeparator);

// Every plot of the diagnostics in one rectangle: the calibration plot over
// the residual plot on the left, the normal probability plot over the
// spread of the levels on the right.
struct AllDiagnosticsPlots {
    DiagnosticsPlots line;
    ResidualSpreadPlots spread;
};
AllDiagnosticsPlots DrawAllDiagnosticsPlots(PageCanvas& canvas, const PlotData& data,
                                            const CanvasRect& area, char decimalSeparator);

} // namespace valdex
