#include "calc/format_general.h"
#include "plots/diagnostics_plots.h"

#include <algorithm>
#include <cmath>

namespace valdex {

namespace {

constexpr double kResponseMarkerPoints = 5;
constexpr double kBoxPoints = 2; // the corner box's inner margin and its gap to the frame

const char* const kCalibrationTitle = "Curva de calibración";
const char* const kNoPoints = "El estudio no tiene respuestas que graficar.";

// The abscissas of the band curves: the levels' range in equal steps.
std::vector<double> BandXs(const Interval& levels) {
    std::vector<double> xs;
    xs.reserve(kBandSegments + 1);
    for (int i = 0; i <= kBandSegments; ++i)
        xs.push_back(i == kBandSegments
                         ? levels.high
                         : levels.low + (levels.high - levels.low) * i / kBandSegments);
    return xs;
}

// The four band curves at the abscissas: mean response below and above,
// one response below and above.
struct BandCurves {
    std::vector<double> xs;
    std::vector<double> confidenceLow, confidenceHigh, predictionLow, predictionHigh;
};

BandCurves Bands(const PlotData& data) {
    BandCurves curves;
    if (!data.bands || !data.a || !(data.levels.Span() > 0)) return curves;
    curves.xs = BandXs(data.levels);
    for (double x : curves.xs) {
        const double fitted = data.Line(x);
        const double c = data.bands->ConfidenceHalfWidth(x);
        const double p = data.bands->PredictionHalfWidth(x);
        curves.confidenceLow.push_back(fitted - c);
        curves.confidenceHigh.push_back(fitted + c);
        curves.predictionLow.push_back(fitted - p);
        curves.predictionHigh.push_back(fitted + p);
    }
    return curves;
}

// What the y axis must show: the responses, the line's ends and the
// prediction band (which holds the confidence band).
bool YData(const PlotData& data, const BandCurves& curves, Interval& y) {
    double low = INFINITY, high = -INFINITY;
    auto take = [&](double v) {
        if (!std::isfinite(v)) return;
        low = std::min(low, v);
        high = std::max(high, v);
    };
    for (const PlotPoint& point : data.points)
        take(point.y);
    if (data.a && data.b) {
        take(data.Line(data.levels.low));
        take(data.Line(data.levels.high));
    }
    for (const auto* curve : {&curves.predictionLow, &curves.predictionHigh})
        for (double v : *curve)
            take(v);
    return low <= high && CoverInterval(low, high, y);
}

std::vector<CanvasPoint> Curve(const PlotGeometry& plot, const std::vector<double>& xs,
                               const std::vector<double>& ys) {
    std::vector<CanvasPoint> points;
    points.reserve(xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i)
        points.push_back(plot.Map(xs[i], ys[i]));
    return points;
}

std::vector<LegendEntry> Legend(const PlotText& text, const PlotData& data, bool limits) {
    std::vector<LegendEntry> legend;
    using E = LegendEntry;
    if (data.a && data.b)
        legend.push_back(E::Line("Recta", PlotPen(text, 1.4, kLineStyle, kCanvasBlack)));
    if (data.bands) {
        legend.push_back(E::Line("Banda de confianza 95 %",
                                 PlotPen(text, 1.0, kConfidenceStyle, kConfidenceColour)));
        legend.push_back(E::Line("Banda de predicción 95 %",
                                 PlotPen(text, 1.0, kPredictionStyle, kPredictionColour)));
    }
    legend.push_back(E::Marker("Respuestas", kResponseMarker, kResponseMarkerPoints * text.Unit(),
                               kCanvasBlack));
    if (limits) legend.push_back(E::Line("LD y LC", PlotPen(text, 1.0, kLimitStyle, kLimitColour)));
    return legend;
}

bool InsideRange(const Interval& range, double value) {
    return value > range.low && value < range.high;
}

// "LD" and "LC" beside their lines: at the top of the frame for a rising
// line, at the bottom for a falling one; left of the line near the right edge.
void DrawLimits(PlotText& text, const PlotGeometry& plot, const PlotData& data, bool falling) {
    const LinePen pen = PlotPen(text, 1.0, kLimitStyle, kLimitColour);
    const double u = text.Unit();
    text.Use(kTickPoints);
    int row = 0;
    for (const auto& [value, label] : {std::pair{data.LD, "LD"}, std::pair{data.LC, "LC"}}) {
        if (!value || !InsideRange(plot.x.range, std::fabs(*value))) continue;
        const double x = plot.MapX(std::fabs(*value));
        DrawClipped(text.Canvas(), {{x, plot.frame.top}, {x, plot.frame.Bottom()}}, plot.frame,
                    pen);
        const double width = text.Width(label);
        double labelX = x + 2 * u;
        if (labelX + width > plot.frame.Right() - 2 * u) labelX = x - 2 * u - width;
        const double offset = 2 * u + row * text.Row();
        const double labelY =
            falling ? plot.frame.Bottom() - offset - text.Row() : plot.frame.top + offset;
        text.At(labelX, labelY, label);
        ++row;
    }
}

// The equation, r², N, LD and LC in a white box in the corner the line
// leaves free: bottom right for a rising line, top right for a falling one.
void DrawCornerBox(PlotText& text, const PlotGeometry& plot, const PlotData& data, bool falling,
                   char sep) {
    std::vector<std::string> lines;
    if (data.a && data.b) lines.push_back(EquationText(*data.a, *data.b, sep));
    if (data.r2) lines.push_back("r² = " + FormatGeneral(*data.r2, kPrecision8, sep));
    lines.push_back("N = " + std::to_string(data.N));
    if (data.LD && data.LC) {
        const std::string units = data.units.empty() ? "" : " " + data.units;
        lines.push_back("LD = " + FormatGeneral(*data.LD, kPrecision6, sep) + units +
                        ", LC = " + FormatGeneral(*data.LC, kPrecision6, sep) + units);
    }
    text.Use(kTickPoints);
    const double u = text.Unit();
    double width = 0;
    for (const std::string& line : lines)
        width = std::max(width, text.Width(line));
    CanvasRect box;
    box.width = width + 2 * kBoxPoints * u;
    box.height = static_cast<double>(lines.size()) * text.Row() + 2 * kBoxPoints * u;
    if (box.width > plot.frame.width - 2 * kBoxPoints * u ||
        box.height > plot.frame.height - 2 * kBoxPoints * u)
        return;
    box.left = plot.frame.Right() - kBoxPoints * u - box.width;
    box.top = falling ? plot.frame.top + kBoxPoints * u
                      : plot.frame.Bottom() - kBoxPoints * u - box.height;
    text.Canvas().DrawRectangle(box, PlotPen(text, 0.5, LineStyle::Solid, kCanvasBlack),
                                kCanvasWhite);
    double y = box.top + kBoxPoints * u;
    for (const std::string& line : lines) {
        text.At(box.left + kBoxPoints * u, y, line);
        y += text.Row();
    }
}

} // namespace

std::string EquationText(double a, double b, char sep) {
    return "y = " + FormatGeneral(b, kPrecision8, sep) + "·x " + (a < 0 ? "− " : "+ ") +
           FormatGeneral(std::fabs(a), kPrecision6, sep);
}

PlotGeometry DrawCalibrationPlot(PageCanvas& canvas, const PlotData& data, const CanvasRect& area,
                                 char sep) {
    PlotText text(canvas);
    PlotGeometry plot;
    plot.area = area;
    const BandCurves curves = Bands(data);
    Interval x, y;
    const std::optional<Interval> xData = SharedXData(data);
    if (!xData || !CoverInterval(xData->low, xData->high, x) || !YData(data, curves, y)) {
        DrawNote(text, plot, kNoPoints);
        return plot;
    }
    const bool limits = (data.LD && InsideRange(x, std::fabs(*data.LD))) ||
                        (data.LC && InsideRange(x, std::fabs(*data.LC)));
    const std::vector<LegendEntry> legend = Legend(text, data, limits);
    const double marker = kResponseMarkerPoints * text.Unit();
    plot = LayOutPlot(text, area, legend, x, y, marker / 2 + 1, sep);
    if (!plot.drawn) return plot;
    const PlotTitles titles{kCalibrationTitle, data.xTitle, data.yTitle};
    DrawPlotAxes(text, plot, titles, legend, sep);

    canvas.SetClip(plot.frame);
    const bool falling = data.b && *data.b < 0;
    if (!curves.xs.empty()) {
        const LinePen prediction = PlotPen(text, 1.0, kPredictionStyle, kPredictionColour);
        const LinePen confidence = PlotPen(text, 1.0, kConfidenceStyle, kConfidenceColour);
        DrawClipped(canvas, Curve(plot, curves.xs, curves.predictionHigh), plot.frame, prediction);
        DrawClipped(canvas, Curve(plot, curves.xs, curves.predictionLow), plot.frame, prediction);
        DrawClipped(canvas, Curve(plot, curves.xs, curves.confidenceHigh), plot.frame, confidence);
        DrawClipped(canvas, Curve(plot, curves.xs, curves.confidenceLow), plot.frame, confidence);
    }
    if (data.a && data.b && data.levels.Span() > 0)
        DrawClipped(canvas,
                    {plot.Map(data.levels.low, data.Line(data.levels.low)),
                     plot.Map(data.levels.high, data.Line(data.levels.high))},
                    plot.frame, PlotPen(text, 1.4, kLineStyle, kCanvasBlack));
    DrawLimits(text, plot, data, falling);
    MarkerSet drawn;
    for (const PlotPoint& point : data.points) {
        const CanvasPoint centre = plot.Map(point.x, point.y);
        if (!plot.frame.Contains(centre) || !drawn.Add(centre, kResponseMarker)) continue;
        canvas.DrawMarker(centre, kResponseMarker, marker, kCanvasBlack);
    }
    DrawCornerBox(text, plot, data, falling, sep);
    canvas.ClearClip();
    DrawFrame(text, plot);
    return plot;
}

} // namespace valdex
