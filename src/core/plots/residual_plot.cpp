#include "plots/diagnostics_plots.h"

#include <algorithm>
#include <cmath>

namespace valdex {

namespace {

constexpr double kResidualMarkerPoints = 4.5;
constexpr double kOutlierMarkerPoints = 5;
// The y axis shows at least ±2.5, so that the ±2 lines stand inside it.
constexpr double kLeastResidualRange = 2.5;

const char* const kResidualTitle = "Residuos estandarizados";
const char* const kResidualAxis = "Residuo / s(y/x)";
const char* const kNoResiduals = "Sin residuos estandarizados";

const char* const kWeightedTitle = "Residuos ponderados";
const char* const kWeightedAxis = "√w·e / s_w";

std::vector<LegendEntry> Legend(const PlotText& text, bool weighted) {
    using E = LegendEntry;
    const std::string r = weighted ? "|√w·e/s_w|" : "|e/s|";
    return {
        E::Marker(r + " ≤ 2", kResidualMarker, kResidualMarkerPoints * text.Unit(), kCanvasBlack),
        E::Marker(r + " > 2", kOutlierMarker, kOutlierMarkerPoints * text.Unit(), kOutlierColour),
        E::Line("±2", PlotPen(text, 1.0, kResidualLimitStyle, kCanvasBlack))};
}

} // namespace

PlotGeometry DrawResidualPlot(PageCanvas& canvas, const PlotData& data, const Interval& xData,
                              const CanvasRect& area, char sep) {
    PlotText text(canvas);
    double largest = kLeastResidualRange;
    bool any = false;
    for (const PlotPoint& point : data.points) {
        if (!point.standardized || !std::isfinite(*point.standardized)) continue;
        largest = std::max(largest, std::fabs(*point.standardized));
        any = true;
    }
    const bool weighted = !data.weight.empty();
    const std::vector<LegendEntry> legend = Legend(text, weighted);
    const double marker = kOutlierMarkerPoints * text.Unit();
    PlotGeometry plot =
        LayOutPlot(text, area, legend, xData, {-largest, largest}, marker / 2 + 1, sep);
    if (!plot.drawn) return plot;
    DrawPlotAxes(text, plot,
                 {weighted ? kWeightedTitle : kResidualTitle, data.xTitle,
                  weighted ? kWeightedAxis : kResidualAxis},
                 legend, sep);

    canvas.SetClip(plot.frame);
    const double left = plot.frame.left, right = plot.frame.Right();
    DrawClipped(canvas, {{left, plot.MapY(0)}, {right, plot.MapY(0)}}, plot.frame,
                PlotPen(text, 0.9, LineStyle::Solid, kCanvasBlack));
    const LinePen limit = PlotPen(text, 1.0, kResidualLimitStyle, kCanvasBlack);
    for (double level : {kResidualLimit, -kResidualLimit})
        DrawClipped(canvas, {{left, plot.MapY(level)}, {right, plot.MapY(level)}}, plot.frame,
                    limit);
    CountedMarkers markers;
    for (const PlotPoint& point : data.points) {
        if (!point.standardized || !std::isfinite(*point.standardized)) continue;
        const bool beyond = BeyondResidualLimit(point);
        const CanvasPoint centre = plot.Map(point.x, *point.standardized);
        if (!plot.frame.Contains(centre)) continue;
        markers.Add(centre, beyond ? kOutlierMarker : kResidualMarker,
                    (beyond ? kOutlierMarkerPoints : kResidualMarkerPoints) * text.Unit(),
                    beyond ? kOutlierColour : kCanvasBlack);
    }
    markers.Draw(text, plot);
    if (!any) DrawNote(text, plot, kNoResiduals);
    canvas.ClearClip();
    DrawFrame(text, plot);
    return plot;
}

DiagnosticsPlots DrawDiagnosticsPlots(PageCanvas& canvas, const PlotData& data,
                                      const CanvasRect& area, char sep) {
    DiagnosticsPlots plots;
    CanvasRect first = area, second = area;
    if (area.width > 1.5 * area.height) {
        first.width = second.width = area.width / 2;
        second.left = area.left + first.width;
    } else {
        // The calibration plot's share, besides the notes under its legend
        // (about five rows), which the residual plot does not have.
        PlotText text(canvas);
        text.Use(kTickPoints);
        const double notes = std::min(5 * text.Row(), area.height * 0.15);
        first.height = (area.height - notes) * 0.57 + notes;
        second.top = area.top + first.height;
        second.height = area.height - first.height;
    }
    plots.calibration = DrawCalibrationPlot(canvas, data, first, sep);
    Interval x;
    const std::optional<Interval> xData = SharedXData(data);
    if (xData && CoverInterval(xData->low, xData->high, x))
        plots.residuals = DrawResidualPlot(canvas, data, x, second, sep);
    return plots;
}

DiagnosticsPlots DrawDiagnosticsPlots(PageCanvas& canvas, const CalibrationStudy& study,
                                      const Diagnostics& diagnostics, const CanvasRect& area,
                                      char sep) {
    return DrawDiagnosticsPlots(canvas, MakePlotData(study, diagnostics), area, sep);
}

} // namespace valdex
