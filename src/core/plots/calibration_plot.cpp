#include "calc/format_general.h"
#include "plots/diagnostics_plots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

namespace valdex {

namespace {

constexpr double kResponseMarkerPoints = 5;
constexpr double kMeanPoints = 9; // the width of a level mean's dash
constexpr double kFlagPoints = 9; // the square round a flagged response

const char* const kCalibrationTitle = "Curva de calibración";
const char* const kNoPoints = "El estudio no tiene respuestas que graficar.";

// The abscissas of the band curves: the span in equal steps.
std::vector<double> BandXs(const Interval& span) {
    std::vector<double> xs;
    xs.reserve(kBandSegments + 1);
    for (int i = 0; i <= kBandSegments; ++i)
        xs.push_back(i == kBandSegments ? span.high
                                        : span.low + (span.high - span.low) * i / kBandSegments);
    return xs;
}

// The four band curves at the abscissas: mean response below and above,
// one response below and above.
struct BandCurves {
    Interval span; // the abscissas the line and the bands run over
    std::vector<double> xs;
    std::vector<double> confidenceLow, confidenceHigh, predictionLow, predictionHigh;
};

BandCurves Bands(const PlotData& data) {
    BandCurves curves;
    // From 0 when every level is at least 0, as the x axis starts.
    curves.span = data.levels;
    if (curves.span.low >= 0) curves.span.low = 0;
    if (!data.bands || !data.a || !(curves.span.Span() > 0)) return curves;
    curves.xs = BandXs(curves.span);
    for (double x : curves.xs) {
        const double fitted = data.Line(x);
        const double c = data.bands->ConfidenceHalfWidth(x);
        curves.confidenceLow.push_back(fitted - c);
        curves.confidenceHigh.push_back(fitted + c);
        if (!data.bands->prediction) continue;
        const double p = data.bands->PredictionHalfWidth(x);
        curves.predictionLow.push_back(fitted - p);
        curves.predictionHigh.push_back(fitted + p);
    }
    return curves;
}

// What the y axis must show: the responses, the line's ends and the
// bands.
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
        take(data.Line(curves.span.low));
        take(data.Line(curves.span.high));
    }
    for (const auto* curve : {&curves.predictionLow, &curves.predictionHigh, &curves.confidenceLow,
                              &curves.confidenceHigh})
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

bool Within(const Interval& range, double value) {
    return value >= range.low && value <= range.high;
}

// Which of LD and LC have a line: a value inside the x interval shown.
struct LimitLines {
    bool LD = false, LC = false;
};

LimitLines Lines(const PlotData& data, const Interval& x) {
    return {data.LD && Within(x, std::fabs(*data.LD)), data.LC && Within(x, std::fabs(*data.LC))};
}

bool AnyFlag(const PlotData& data) {
    return std::any_of(data.points.begin(), data.points.end(),
                       [](const PlotPoint& p) { return p.grubbsFlag; });
}

std::vector<LegendEntry> Legend(const PlotText& text, const PlotData& data, LimitLines limits) {
    std::vector<LegendEntry> legend;
    using E = LegendEntry;
    if (data.a && data.b)
        legend.push_back(
            E::Line(data.weight.empty() ? "Recta" : "Recta ponderada (" + data.weight + ")",
                    PlotPen(text, 1.4, kLineStyle, kCanvasBlack)));
    if (data.bands) {
        legend.push_back(E::Line("Banda de confianza 95 %",
                                 PlotPen(text, 1.0, kConfidenceStyle, kConfidenceColour)));
        if (data.bands->prediction)
            legend.push_back(E::Line("Banda de predicción 95 %",
                                     PlotPen(text, 1.0, kPredictionStyle, kPredictionColour)));
    }
    legend.push_back(E::Marker("Respuestas", kResponseMarker, kResponseMarkerPoints * text.Unit(),
                               kCanvasBlack));
    if (!data.means.empty())
        legend.push_back(E::Line("Media del nivel", PlotPen(text, 1.4, kLineStyle, kMeanColour)));
    if (AnyFlag(data))
        legend.push_back(E::Marker("Posible atípico (Grubbs)", kOutlierMarker,
                                   kResponseMarkerPoints * text.Unit(), kOutlierColour));
    if (limits.LD || limits.LC)
        legend.push_back(E::Line(limits.LD && limits.LC ? "LD y LC"
                                 : limits.LD            ? "LD"
                                                        : "LC",
                                 PlotPen(text, 1.0, kLimitStyle, kLimitColour)));
    return legend;
}

// "LD" and "LC" beside their lines: at the top of the frame for a rising
// line, at the bottom for a falling one; left of the line near the right edge.
void DrawLimits(PlotText& text, const PlotGeometry& plot, const PlotData& data, LimitLines lines,
                bool falling) {
    const LinePen pen = PlotPen(text, 1.0, kLimitStyle, kLimitColour);
    const double u = text.Unit();
    text.Use(kTickPoints);
    int row = 0;
    for (const auto& [value, label, drawn] :
         {std::tuple{data.LD, "LD", lines.LD}, std::tuple{data.LC, "LC", lines.LC}}) {
        if (!drawn) continue;
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

// r² with four decimals: "0,9987".
std::string FourDecimals(double value, char sep) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string out = text;
    std::replace(out.begin(), out.end(), '.', sep);
    return out;
}

// The lines under the legend: the equation, a and b with their 95 %
// intervals, s(y/x), r² and N, the limits (or why they have no line), the
// responses Grubbs flags and the caveats of the limits.
std::vector<std::string> Notes(const PlotData& data, LimitLines lines, char sep) {
    const auto number = [&](double v, int precision = kPrecision6) {
        return FormatProse(v, precision, sep, true);
    };
    const auto interval = [&](const std::optional<Interval>& i, int precision) {
        if (!i) return std::string();
        return " (IC 95 %: " + number(i->low, precision) + " a " + number(i->high, precision) + ")";
    };
    std::vector<std::string> notes;
    if (!data.weight.empty()) notes.push_back("Ponderación: " + data.weight);
    if (!data.weightReason.empty()) notes.push_back(data.weightReason);
    if (data.a && data.b) {
        notes.push_back(EquationText(*data.a, *data.b, sep));
        notes.push_back("a = " + number(*data.a) + interval(data.aInterval, kPrecision6) +
                        "; b = " + number(*data.b, kPrecision8) +
                        interval(data.bInterval, kPrecision8));
    }
    std::string fit;
    if (data.s) fit = (data.weight.empty() ? "s(y/x) = " : "s_w = ") + number(*data.s) + "; ";
    if (data.r2) fit += "r² = " + FourDecimals(*data.r2, sep) + "; ";
    notes.push_back(fit + "N = " + std::to_string(data.N));

    const std::string units = data.units.empty() ? "" : " " + data.units;
    std::string limits;
    if (!data.LD && !data.LC) {
        limits = "LD y LC: " + (data.limitReason.empty() ? "no estimables" : data.limitReason);
    } else {
        for (const auto& [value, label, drawn] :
             {std::tuple{data.LD, "LD", lines.LD}, std::tuple{data.LC, "LC", lines.LC}}) {
            limits += limits.empty() ? "" : "; ";
            limits += value ? std::string(label) + (data.weight.empty() ? "" : " (σ₀)") + " = " +
                                  number(*value) + units + (drawn ? "" : ", fuera del gráfico")
                            : std::string(label) + ": no estimable";
        }
    }
    notes.push_back(limits);

    std::vector<ResponsePlace> flagged;
    for (const PlotPoint& point : data.points)
        if (point.grubbsFlag) flagged.push_back({point.level, point.replicate});
    if (!flagged.empty()) notes.push_back(FlaggedResponsesText(flagged));
    notes.insert(notes.end(), data.caveats.begin(), data.caveats.end());
    return notes;
}

// The responses, counted where several stand at the same place; the
// response Grubbs flags inside a square.
void DrawResponses(PlotText& text, const PlotGeometry& plot, const PlotData& data) {
    const double u = text.Unit();
    const double flag = kFlagPoints * u;
    CountedMarkers markers;
    for (const PlotPoint& point : data.points) {
        const CanvasPoint centre = plot.Map(point.x, point.y);
        if (!plot.frame.Contains(centre)) continue;
        markers.Add(centre, kResponseMarker, kResponseMarkerPoints * u, kCanvasBlack);
        if (point.grubbsFlag && plot.frame.Contains({centre.x - flag / 2, centre.y - flag / 2}) &&
            plot.frame.Contains({centre.x + flag / 2, centre.y + flag / 2}))
            text.Canvas().DrawMarker(centre, kOutlierMarker, flag, kOutlierColour);
    }
    markers.Draw(text, plot);
}

// Each level's mean response as a short dash across its responses.
void DrawMeans(PlotText& text, const PlotGeometry& plot, const PlotData& data) {
    const LinePen pen = PlotPen(text, 1.4, kLineStyle, kMeanColour);
    const double half = kMeanPoints * text.Unit() / 2;
    for (const LevelMean& mean : data.means) {
        const CanvasPoint centre = plot.Map(mean.x, mean.y);
        DrawClipped(text.Canvas(), {{centre.x - half, centre.y}, {centre.x + half, centre.y}},
                    plot.frame, pen);
    }
}

} // namespace

std::string EquationText(double a, double b, char sep) {
    return "y = " + FormatProse(b, kPrecision8, sep, true) + "·x " + (a < 0 ? "− " : "+ ") +
           FormatProse(std::fabs(a), kPrecision6, sep, true);
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
    const LimitLines lines = Lines(data, x);
    std::vector<LegendEntry> legend = Legend(text, data, lines);
    std::vector<std::string> notes = Notes(data, lines, sep);
    const double margin = kFlagPoints * text.Unit() / 2 + 1;
    plot = LayOutPlot(text, area, legend, x, y, margin, sep, notes);
    // Too small for the notes, then for the legend: the frame is worth more.
    // (valdex-cli grafico refuses sizes that would come to this.)
    for (auto* dropped : {&notes, static_cast<std::vector<std::string>*>(nullptr)}) {
        if (plot.drawn) break;
        if (dropped != nullptr)
            dropped->clear();
        else
            legend.clear();
        plot = LayOutPlot(text, area, legend, x, y, margin, sep, notes);
    }
    if (!plot.drawn) return plot;
    const PlotTitles titles{kCalibrationTitle, data.xTitle, data.yTitle};
    DrawPlotAxes(text, plot, titles, legend, sep, notes);

    canvas.SetClip(plot.frame);
    const bool falling = data.b && *data.b < 0;
    if (!curves.xs.empty()) {
        const LinePen prediction = PlotPen(text, 1.0, kPredictionStyle, kPredictionColour);
        const LinePen confidence = PlotPen(text, 1.0, kConfidenceStyle, kConfidenceColour);
        if (!curves.predictionHigh.empty()) {
            DrawClipped(canvas, Curve(plot, curves.xs, curves.predictionHigh), plot.frame,
                        prediction);
            DrawClipped(canvas, Curve(plot, curves.xs, curves.predictionLow), plot.frame,
                        prediction);
        }
        DrawClipped(canvas, Curve(plot, curves.xs, curves.confidenceHigh), plot.frame, confidence);
        DrawClipped(canvas, Curve(plot, curves.xs, curves.confidenceLow), plot.frame, confidence);
    }
    if (data.a && data.b && curves.span.Span() > 0)
        DrawClipped(canvas,
                    {plot.Map(curves.span.low, data.Line(curves.span.low)),
                     plot.Map(curves.span.high, data.Line(curves.span.high))},
                    plot.frame, PlotPen(text, 1.4, kLineStyle, kCanvasBlack));
    DrawLimits(text, plot, data, lines, falling);
    DrawMeans(text, plot, data);
    DrawResponses(text, plot, data);
    canvas.ClearClip();
    DrawFrame(text, plot);
    return plot;
}

} // namespace valdex
