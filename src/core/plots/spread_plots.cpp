#include "plots/spread_plots.h"

#include "calc/format_general.h"

#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>

namespace valdex {

namespace {

constexpr double kMarkerPoints = 4.5;
constexpr double kRowsOfTwoPlots = 28;

double Normal(double p) {
    return boost::math::quantile(boost::math::normal_distribution<>(), p);
}

// The sample quantile of type 7 of sorted values.
double Quantile7(const std::vector<double>& sorted, double p) {
    const double h = (static_cast<double>(sorted.size()) - 1) * p;
    const std::size_t low = static_cast<std::size_t>(std::floor(h));
    const std::size_t high = std::min(low + 1, sorted.size() - 1);
    return sorted[low] + (h - static_cast<double>(low)) * (sorted[high] - sorted[low]);
}

bool Range(const std::vector<double>& values, Interval& out) {
    if (values.empty()) return false;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return CoverInterval(*low, *high, out);
}

std::string Number(std::optional<double> v, char sep, int precision = 4) {
    return v ? FormatProse(*v, precision, sep, true) : std::string("—");
}

// The plot laid out and its axes drawn; falls back to no notes, then no
// legend, when the rectangle is small.
PlotGeometry Frame(PlotText& text, const CanvasRect& area, std::vector<LegendEntry>& legend,
                   const Interval& x, const Interval& y, char sep, std::vector<std::string>& notes,
                   const PlotTitles& titles) {
    const double margin = kMarkerPoints * text.Unit() / 2 + 1;
    PlotGeometry plot = LayOutPlot(text, area, legend, x, y, margin, sep, notes);
    if (!plot.drawn) {
        notes.clear();
        plot = LayOutPlot(text, area, legend, x, y, margin, sep, notes);
    }
    if (!plot.drawn) {
        legend.clear();
        plot = LayOutPlot(text, area, legend, x, y, margin, sep, notes);
    }
    if (plot.drawn) DrawPlotAxes(text, plot, titles, legend, sep, notes);
    return plot;
}

void Markers(PlotText& text, const PlotGeometry& plot, const std::vector<double>& xs,
             const std::vector<double>& ys, CanvasColour colour) {
    CountedMarkers markers;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const CanvasPoint centre = plot.Map(xs[i], ys[i]);
        if (plot.frame.Contains(centre))
            markers.Add(centre, MarkerShape::Disc, kMarkerPoints * text.Unit(), colour);
    }
    markers.Draw(text, plot);
}

std::string ShapiroNote(const ShapiroWilkTest& s, char sep) {
    if (!s.W || !s.p)
        return "Shapiro–Wilk: no calculado" + (s.reason.empty() ? "" : " (" + s.reason + ")");
    return "Shapiro–Wilk: W = " + Number(s.W, sep) + "; p = " + Number(s.p, sep) +
           " (n = " + std::to_string(s.n) +
           "): " + (s.significant ? "se rechaza la normalidad" : "no se rechaza la normalidad");
}

std::string FNote(const EndLevelsFTest& f, char sep) {
    if (!f.F || !f.fCritical)
        return "Prueba F de los niveles extremos: no calculada" +
               (f.reason.empty() ? "" : " (" + f.reason + ")");
    return "Prueba F de los niveles extremos: F = " + Number(f.F, sep) +
           "; F crítico = " + Number(f.fCritical, sep) + ": " +
           (f.significant ? "varianzas no homogéneas" : "no se rechaza la igualdad de varianzas");
}

} // namespace

std::vector<double> BlomQuantiles(int n) {
    std::vector<double> q;
    if (n < 1) return q;
    q.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i)
        q.push_back(Normal((i - 0.375) / (n + 0.25)));
    return q;
}

QQData MakeQQData(const PlotData& data) {
    QQData qq;
    for (const PlotPoint& point : data.points)
        if (point.standardized && std::isfinite(*point.standardized))
            qq.sample.push_back(*point.standardized);
    std::sort(qq.sample.begin(), qq.sample.end());
    qq.theoretical = BlomQuantiles(static_cast<int>(qq.sample.size()));
    if (qq.sample.size() >= 2) {
        const double y1 = Quantile7(qq.sample, 0.25), y3 = Quantile7(qq.sample, 0.75);
        const double x1 = Normal(0.25), x3 = Normal(0.75);
        qq.slope = (y3 - y1) / (x3 - x1);
        qq.intercept = y1 - *qq.slope * x1;
    }
    return qq;
}

PlotGeometry DrawNormalProbabilityPlot(PageCanvas& canvas, const PlotData& data,
                                       const CanvasRect& area, char sep) {
    PlotText text(canvas);
    const QQData qq = MakeQQData(data);
    PlotGeometry plot;
    plot.area = area;
    Interval x, y;
    if (qq.sample.size() < 2 || !Range(qq.theoretical, x) || !Range(qq.sample, y)) {
        DrawNote(text, plot, "Sin residuos que graficar.");
        return plot;
    }
    const LinePen pen = PlotPen(text, 1.2, LineStyle::Solid, kQuartileLineColour);
    std::vector<LegendEntry> legend{LegendEntry::Marker("Residuos", MarkerShape::Disc,
                                                        kMarkerPoints * text.Unit(), kCanvasBlack),
                                    LegendEntry::Line("Recta por los cuartiles", pen)};
    std::vector<std::string> notes{ShapiroNote(data.shapiroWilk, sep)};
    const std::string axis = data.weight.empty() ? "Residuo / s(y/x)" : "√w·e / s_w";
    plot = Frame(text, area, legend, x, y, sep, notes,
                 {"Probabilidad normal de los residuos", "Cuantil normal teórico (Blom)", axis});
    if (!plot.drawn) return plot;
    canvas.SetClip(plot.frame);
    const double left = plot.x.range.low, right = plot.x.range.high;
    DrawClipped(canvas,
                {plot.Map(left, *qq.intercept + *qq.slope * left),
                 plot.Map(right, *qq.intercept + *qq.slope * right)},
                plot.frame, pen);
    Markers(text, plot, qq.theoretical, qq.sample, kCanvasBlack);
    canvas.ClearClip();
    DrawFrame(text, plot);
    return plot;
}

namespace {

// "CV %: 4.98 (x = 1); 3.8 (x = 2)", for a panel without room for its own plot.
std::string CvNote(const PlotData& data, char sep) {
    std::string note;
    for (const LevelSpread& s : data.spreads) {
        if (!s.cv) continue;
        note += (note.empty() ? "CV %: " : "; ") + Number(s.cv, sep, 3) +
                " (x = " + Number(s.x, sep, 6) + ")";
    }
    return note;
}

PlotGeometry DrawSpread(PlotText& text, const PlotData& data, const CanvasRect& area, bool cv,
                        bool cvInNote, char sep) {
    std::vector<double> xs, ys;
    for (const LevelSpread& s : data.spreads) {
        if (cv && !s.cv) continue;
        xs.push_back(s.x);
        ys.push_back(cv ? *s.cv : s.sd);
    }
    PlotGeometry plot;
    plot.area = area;
    const bool function = !cv && data.c0 && data.c1;
    Interval x, y;
    std::vector<double> yRange = ys;
    yRange.push_back(0);
    if (function && !xs.empty())
        for (double at : xs)
            yRange.push_back(*data.c0 + *data.c1 * at);
    if (xs.empty() || !Range(xs, x) || !Range(yRange, y)) {
        DrawNote(text, plot,
                 cv ? "Sin CV % que graficar." : "Sin desviaciones estándar por nivel.");
        return plot;
    }
    const LinePen line = PlotPen(text, 1.0, LineStyle::Solid, kSpreadColour);
    const LinePen fitted = PlotPen(text, 1.2, LineStyle::Dashed, kQuartileLineColour);
    std::vector<LegendEntry> legend{
        LegendEntry::Marker(cv ? "CV % del nivel" : "s del nivel", MarkerShape::Disc,
                            kMarkerPoints * text.Unit(), kSpreadColour)};
    if (function) legend.push_back(LegendEntry::Line("s(x) = c₀ + c₁·x", fitted));
    std::vector<std::string> notes;
    if (!cv) notes.push_back(FNote(data.endLevelsF, sep));
    if (cvInNote && !CvNote(data, sep).empty()) notes.push_back(CvNote(data, sep));
    if (function)
        notes.push_back("c₀ = " + Number(data.c0, sep, 6) + "; c₁ = " + Number(data.c1, sep, 6));
    plot = Frame(
        text, area, legend, x, y, sep, notes,
        {cv ? "CV % por nivel" : "Desviación estándar por nivel", data.xTitle, cv ? "CV %" : "s"});
    if (!plot.drawn) return plot;
    PageCanvas& canvas = text.Canvas();
    canvas.SetClip(plot.frame);
    std::vector<CanvasPoint> joined;
    for (std::size_t i = 0; i < xs.size(); ++i)
        joined.push_back(plot.Map(xs[i], ys[i]));
    if (joined.size() >= 2) DrawClipped(canvas, joined, plot.frame, line);
    if (function)
        DrawClipped(canvas,
                    {plot.Map(plot.x.range.low, *data.c0 + *data.c1 * plot.x.range.low),
                     plot.Map(plot.x.range.high, *data.c0 + *data.c1 * plot.x.range.high)},
                    plot.frame, fitted);
    Markers(text, plot, xs, ys, kSpreadColour);
    canvas.ClearClip();
    DrawFrame(text, plot);
    return plot;
}

} // namespace

SpreadPlots DrawLevelSpreadPlots(PageCanvas& canvas, const PlotData& data, const CanvasRect& area,
                                 char sep) {
    PlotText text(canvas);
    SpreadPlots plots;
    // Room for two plots of about fourteen rows each, else CV % goes into
    // the notes of the one plot.
    text.Use(kTickPoints);
    if (area.height < kRowsOfTwoPlots * text.Row()) {
        plots.sd = DrawSpread(text, data, area, false, true, sep);
        return plots;
    }
    CanvasRect top = area, bottom = area;
    top.height = area.height * 0.55;
    bottom.top = area.top + top.height;
    bottom.height = area.height - top.height;
    plots.sd = DrawSpread(text, data, top, false, false, sep);
    plots.cv = DrawSpread(text, data, bottom, true, false, sep);
    return plots;
}

ResidualSpreadPlots DrawResidualSpreadPlots(PageCanvas& canvas, const PlotData& data,
                                            const CanvasRect& area, char sep) {
    CanvasRect first = area, second = area;
    if (area.width > 1.5 * area.height) {
        first.width = second.width = area.width / 2;
        second.left = area.left + first.width;
    } else {
        first.height = second.height = area.height / 2;
        second.top = area.top + first.height;
    }
    ResidualSpreadPlots plots;
    plots.normal = DrawNormalProbabilityPlot(canvas, data, first, sep);
    plots.spread = DrawLevelSpreadPlots(canvas, data, second, sep);
    return plots;
}

AllDiagnosticsPlots DrawAllDiagnosticsPlots(PageCanvas& canvas, const PlotData& data,
                                            const CanvasRect& area, char sep) {
    CanvasRect left = area, right = area;
    left.width = area.width * 0.56;
    right.left = area.left + left.width;
    right.width = area.width - left.width;
    AllDiagnosticsPlots plots;
    plots.line = DrawDiagnosticsPlots(canvas, data, left, sep);
    plots.spread = DrawResidualSpreadPlots(canvas, data, right, sep);
    return plots;
}

} // namespace valdex
