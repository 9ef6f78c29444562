#pragma once
// The calibration plot and the residual plot, drawn on any page canvas (the
// window, a printed page, a PDF, SVG or PNG file) from the study, its
// diagnostics and a rectangle; the same call gives the same drawing on every
// device, in proportion to its resolution.
//
// Calibration plot: every response at its level; the fitted line over the
// levels; the 95 % confidence band of the mean response (dashed) and the 95 %
// prediction band of one response (dotted), both from 0 when every level is
// at least 0; each level's mean as a short dash; equal responses as one
// marker with their count beside it; the response Grubbs flags in a square;
// the study's LD and LC as dash-dotted vertical lines labelled "LD" and "LC"
// when they lie inside the x axis; under the legend, outside the frame, the
// equation, a and b with their 95 % intervals, s(y/x), r², N, the limits
// (with a note for one outside the axis or not estimable), the flagged
// responses and the caveats of the limits. Residual plot: the standardized residuals against the
// added quantity, a zero line, dashed lines at ±2, the points beyond them as
// squares. Nothing of the data is drawn outside a plot's frame.

#include "diagnostics/diagnostics.h"
#include "plots/plot_data.h"
#include "plots/plot_layout.h"
#include "report/page_canvas.h"
#include "study/calibration_study.h"

namespace valdex {

// The pens and markers, for the tests and the legend alike.
inline constexpr CanvasColour kConfidenceColour = 0x1565C0;
inline constexpr CanvasColour kPredictionColour = 0xC62828;
inline constexpr CanvasColour kLimitColour = 0x2E7D32;
inline constexpr CanvasColour kMeanColour = 0x6A1B9A;
inline constexpr CanvasColour kOutlierColour = 0xC62828;
inline constexpr LineStyle kLineStyle = LineStyle::Solid;
inline constexpr LineStyle kConfidenceStyle = LineStyle::Dashed;
inline constexpr LineStyle kPredictionStyle = LineStyle::Dotted;
inline constexpr LineStyle kLimitStyle = LineStyle::DashDotted;
inline constexpr LineStyle kResidualLimitStyle = LineStyle::Dashed;
inline constexpr MarkerShape kResponseMarker = MarkerShape::Circle;
inline constexpr MarkerShape kResidualMarker = MarkerShape::Disc;
inline constexpr MarkerShape kOutlierMarker = MarkerShape::Square;

// The segments of each band curve over the levels.
inline constexpr int kBandSegments = 64;

PlotGeometry DrawCalibrationPlot(PageCanvas& canvas, const PlotData& data, const CanvasRect& area,
                                 char decimalSeparator);

// `xData` is the interval the calibration plot shows, so that the two plots
// share their x axis.
PlotGeometry DrawResidualPlot(PageCanvas& canvas, const PlotData& data, const Interval& xData,
                              const CanvasRect& area, char decimalSeparator);

struct DiagnosticsPlots {
    PlotGeometry calibration;
    PlotGeometry residuals;
};

// Both plots in the rectangle: side by side when it is much wider than high,
// else the calibration plot above the residual plot.
DiagnosticsPlots DrawDiagnosticsPlots(PageCanvas& canvas, const PlotData& data,
                                      const CanvasRect& area, char decimalSeparator);
DiagnosticsPlots DrawDiagnosticsPlots(PageCanvas& canvas, const CalibrationStudy& study,
                                      const Diagnostics& diagnostics, const CanvasRect& area,
                                      char decimalSeparator);

// The equation as the plot shows it: "y = 2.0233333·x − 0.0333333", every
// minus sign U+2212.
std::string EquationText(double a, double b, char decimalSeparator);

} // namespace valdex
