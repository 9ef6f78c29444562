#include "plots/plot_layout.h"

#include "report/page_layout.h"

#include <algorithm>
#include <cmath>

namespace valdex {

namespace {

// Gaps and lengths in points.
constexpr double kPadding = 3;
constexpr double kTickLength = 3;
constexpr double kLabelGap = 1.5;
constexpr double kLegendSample = 16;
constexpr double kLegendGap = 3;
constexpr double kLegendSpacing = 9;
// A frame smaller than this in either direction shows nothing readable.
constexpr double kSmallestFrame = 24;

} // namespace

double PlotGeometry::MapX(double value) const {
    const long double share = (static_cast<long double>(value) - x.range.low) / x.range.Span();
    return static_cast<double>(frame.left + share * frame.width);
}

double PlotGeometry::MapY(double value) const {
    const long double share = (static_cast<long double>(value) - y.range.low) / y.range.Span();
    return static_cast<double>(frame.Bottom() - share * frame.height);
}

PlotText::PlotText(PageCanvas& canvas) : canvas_(canvas) {
    Use(kPlotTitlePoints);
    const double height = std::abs(canvas_.FontHeight());
    unit_ = height > 0 ? height / kPlotTitlePoints : 1;
}

void PlotText::Use(int points) {
    canvas_.SetFont(kReportFont, points, FontPitch::Default);
}

double PlotText::Em() const {
    return std::abs(canvas_.FontHeight());
}

double PlotText::Width(const std::string& text) const {
    return canvas_.TextWidth(text);
}

void PlotText::At(double x, double y, const std::string& text) {
    if (text.empty() || !std::isfinite(x) || !std::isfinite(y)) return;
    canvas_.TextOut(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), text);
}

std::string PlotText::Fit(const std::string& text, double width) const {
    // Whole characters only: the texts are UTF-8.
    const std::string fitted =
        Elided(text, [&](const std::string& t) { return Width(t) <= width; });
    return fitted == "…" ? "" : fitted;
}

std::vector<std::string> PlotText::Wrap(const std::string& text, double width) const {
    std::vector<std::string> lines;
    std::string current;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        const std::string joined = current.empty() ? word : current + " " + word;
        if (current.empty() || Width(joined) <= width) {
            current = joined;
        } else {
            lines.push_back(Fit(current, width));
            current = word;
        }
        start = end + 1;
    }
    lines.push_back(Fit(current, width));
    return lines;
}

LinePen PlotPen(const PlotText& text, double points, LineStyle style, CanvasColour colour) {
    return {style, std::max(1.0, points * text.Unit()), colour};
}

void CountedMarkers::Add(CanvasPoint centre, MarkerShape shape, double size, CanvasColour colour) {
    Spot& spot =
        spots_[{std::llround(centre.x * 2), std::llround(centre.y * 2), static_cast<int>(shape)}];
    if (spot.count++ == 0) spot = {centre, shape, size, colour, 1};
}

void CountedMarkers::Draw(PlotText& text, const PlotGeometry& plot) const {
    for (const auto& [key, spot] : spots_)
        text.Canvas().DrawMarker(spot.centre, spot.shape, spot.size, spot.colour);
    text.Use(kTickPoints);
    const double gap = text.Unit();
    for (const auto& [key, spot] : spots_) {
        if (spot.count < 2) continue;
        const std::string count = "×" + std::to_string(spot.count);
        const double width = text.Width(count);
        double x = spot.centre.x + spot.size / 2 + gap;
        if (x + width > plot.frame.Right()) x = spot.centre.x - spot.size / 2 - gap - width;
        const double y = std::clamp(spot.centre.y - text.Em() * 0.55, plot.frame.top,
                                    std::max(plot.frame.top, plot.frame.Bottom() - text.Row()));
        text.At(x, y, count);
    }
}

namespace {

// Legend entries in rows no wider than `width`, each row's width beside it.
struct LegendRow {
    std::vector<const LegendEntry*> entries;
    double width = 0;
};

double EntryWidth(const PlotText& text, const LegendEntry& entry) {
    const double sample = entry.line ? kLegendSample * text.Unit() : entry.markerSize;
    return sample + kLegendGap * text.Unit() + text.Width(entry.text);
}

// Empty when an entry alone is wider than the room.
std::vector<LegendRow> LegendRows(PlotText& text, const std::vector<LegendEntry>& legend,
                                  double width) {
    text.Use(kTickPoints);
    std::vector<LegendRow> rows;
    const double spacing = kLegendSpacing * text.Unit();
    for (const LegendEntry& entry : legend) {
        const double w = EntryWidth(text, entry);
        if (w > width) return {};
        if (rows.empty() || rows.back().width + spacing + w > width)
            rows.push_back({{&entry}, w});
        else
            rows.back().entries.push_back(&entry), rows.back().width += spacing + w;
    }
    return rows;
}

struct Heights {
    double title, axisTitle, tick, tickEm;
};

Heights MeasureHeights(PlotText& text) {
    Heights h{};
    text.Use(kPlotTitlePoints);
    h.title = text.Row();
    text.Use(kAxisTitlePoints);
    h.axisTitle = text.Row();
    text.Use(kTickPoints);
    h.tick = text.Row();
    h.tickEm = text.Em();
    return h;
}

// Where the texts of a plot stand, from its area and frame.
struct TextPlaces {
    double titleY, yTitleY, xLabelsY, xTitleY, legendY, notesY;
};

TextPlaces Places(const PlotText& text, const PlotGeometry& plot, const Heights& h,
                  std::size_t legendRows, std::size_t noteRows) {
    const double u = text.Unit();
    TextPlaces p{};
    p.titleY = plot.area.top + kPadding * u;
    p.yTitleY = p.titleY + h.title;
    p.xLabelsY = plot.frame.Bottom() + (kTickLength + kLabelGap) * u;
    p.xTitleY = p.xLabelsY + h.tick;
    p.notesY = plot.area.Bottom() - kPadding * u - static_cast<double>(noteRows) * h.tick;
    p.legendY = p.notesY - static_cast<double>(legendRows) * h.tick;
    return p;
}

// The notes wrapped to the area's width, in the tick font.
std::vector<std::string> NoteRows(PlotText& text, const std::vector<std::string>& notes,
                                  double width) {
    text.Use(kTickPoints);
    std::vector<std::string> rows;
    for (const std::string& note : notes)
        for (std::string& row : text.Wrap(note, width))
            rows.push_back(std::move(row));
    return rows;
}

} // namespace

PlotGeometry LayOutPlot(PlotText& text, const CanvasRect& area,
                        const std::vector<LegendEntry>& legend, const Interval& xData,
                        const Interval& yData, double margin, char sep,
                        const std::vector<std::string>& notes) {
    PlotGeometry plot;
    plot.area = area;
    const double u = text.Unit();
    const Heights h = MeasureHeights(text);
    const double pad = kPadding * u;
    const std::size_t legendRows = LegendRows(text, legend, area.width - 2 * pad).size();
    const std::size_t noteRows = NoteRows(text, notes, area.width - 2 * pad).size();

    // Top: the title, the y-axis title, half a label for the top tick's label.
    const double top = area.top + pad + h.title + h.axisTitle + h.tickEm * 0.6;
    // Bottom: the legend, the x-axis title, the tick labels, the ticks.
    double bottom = area.Bottom() - pad - static_cast<double>(legendRows + noteRows) * h.tick;
    if (legendRows + noteRows > 0) bottom -= 2 * u;
    bottom -= h.axisTitle + h.tick + (kTickLength + kLabelGap) * u;
    plot.frame.top = top;
    plot.frame.height = bottom - top;
    if (!(plot.frame.height >= kSmallestFrame * u)) return plot;

    text.Use(kTickPoints);
    plot.y = MakeScale(PaddedRange(yData, plot.frame.height, margin), plot.frame.height,
                       [&](const std::vector<double>&, double stepLength, int, int) {
                           return stepLength >= h.tick * 1.2;
                       });
    double labelWidth = 0;
    for (double tick : plot.y.ticks)
        labelWidth = std::max(labelWidth,
                              text.Width(TickLabel(tick, plot.y.precision, plot.y.exponent, sep)));
    plot.frame.left = area.left + pad + labelWidth + (kLabelGap + kTickLength) * u;
    // Room on the right for half of the last tick's label.
    const double right = area.Right() - pad - h.tickEm * 1.5;
    plot.frame.width = right - plot.frame.left;
    if (!(plot.frame.width >= kSmallestFrame * u)) return plot;

    const double gap = h.tickEm;
    plot.x = MakeScale(
        PaddedRange(xData, plot.frame.width, margin), plot.frame.width,
        [&](const std::vector<double>& ticks, double stepLength, int precision, int exponent) {
            for (std::size_t i = 1; i < ticks.size(); ++i) {
                const double a = text.Width(TickLabel(ticks[i - 1], precision, exponent, sep));
                const double b = text.Width(TickLabel(ticks[i], precision, exponent, sep));
                if ((a + b) / 2 + gap > stepLength) return false;
            }
            return true;
        });
    plot.drawn = true;
    return plot;
}

namespace {

void DrawLegend(PlotText& text, const PlotGeometry& plot, const std::vector<LegendEntry>& legend,
                double top) {
    const double u = text.Unit();
    const double pad = kPadding * u;
    const std::vector<LegendRow> rows = LegendRows(text, legend, plot.area.width - 2 * pad);
    const double em = text.Em();
    double y = top;
    for (const LegendRow& row : rows) {
        double x = plot.area.left + (plot.area.width - row.width) / 2;
        const double middle = y + em * 0.55;
        for (const LegendEntry* entry : row.entries) {
            if (entry->line) {
                const double sample = kLegendSample * u;
                text.Canvas().DrawStyledLine({x, middle}, {x + sample, middle}, *entry->line);
                x += sample;
            } else {
                text.Canvas().DrawMarker({x + entry->markerSize / 2, middle}, entry->marker,
                                         entry->markerSize, entry->markerColour);
                x += entry->markerSize;
            }
            x += kLegendGap * u;
            text.At(x, y, entry->text);
            x += text.Width(entry->text) + kLegendSpacing * u;
        }
        y += text.Row();
    }
}

// A text centred on `centre`, moved inside the plot's area when it would
// stand out of it.
void CentredIn(PlotText& text, const PlotGeometry& plot, double centre, double y,
               const std::string& label) {
    const double pad = kPadding * text.Unit();
    const std::string fitted = text.Fit(label, plot.area.width - 2 * pad);
    const double width = text.Width(fitted);
    double x = centre - width / 2;
    x = std::min(x, plot.area.Right() - pad - width);
    x = std::max(x, plot.area.left + pad);
    text.At(x, y, fitted);
}

} // namespace

void DrawPlotAxes(PlotText& text, const PlotGeometry& plot, const PlotTitles& titles,
                  const std::vector<LegendEntry>& legend, char sep,
                  const std::vector<std::string>& notes) {
    const double u = text.Unit();
    const Heights h = MeasureHeights(text);
    const double pad = kPadding * u;
    const std::size_t legendRows = LegendRows(text, legend, plot.area.width - 2 * pad).size();
    const std::vector<std::string> noteRows = NoteRows(text, notes, plot.area.width - 2 * pad);
    const TextPlaces places = Places(text, plot, h, legendRows, noteRows.size());
    const double frameCentre = plot.frame.left + plot.frame.width / 2;
    PageCanvas& canvas = text.Canvas();

    text.Use(kPlotTitlePoints);
    CentredIn(text, plot, frameCentre, places.titleY, titles.title);
    text.Use(kAxisTitlePoints);
    // A common factor of the labels stands after the axis's title, whole.
    const auto withFactor = [&](const std::string& title, int exponent, double room) {
        const std::string factor = FactorText(exponent);
        if (factor.empty()) return text.Fit(title, room);
        const std::string suffix = title.empty() ? factor : " (" + factor + ")";
        return text.Fit(title, room - text.Width(suffix)) + suffix;
    };
    // The y-axis title stands above the axis, from the frame's left edge.
    const std::string yTitle =
        withFactor(titles.yTitle, plot.y.exponent, plot.area.Right() - pad - plot.area.left - pad);
    const double yTitleX =
        std::max(plot.area.left + pad,
                 std::min(plot.frame.left, plot.area.Right() - pad - text.Width(yTitle)));
    text.At(yTitleX, places.yTitleY, yTitle);
    CentredIn(text, plot, frameCentre, places.xTitleY,
              withFactor(titles.xTitle, plot.x.exponent, plot.area.width - 2 * pad));

    const LinePen axisPen = PlotPen(text, 0.8, LineStyle::Solid, kCanvasBlack);
    const double tick = kTickLength * u;
    text.Use(kTickPoints);
    const double em = text.Em();
    for (double value : plot.x.ticks) {
        const double x = plot.MapX(value);
        canvas.DrawStyledLine({x, plot.frame.Bottom()}, {x, plot.frame.Bottom() + tick}, axisPen);
        CentredIn(text, plot, x, places.xLabelsY,
                  TickLabel(value, plot.x.precision, plot.x.exponent, sep));
    }
    for (double value : plot.y.ticks) {
        const double y = plot.MapY(value);
        canvas.DrawStyledLine({plot.frame.left - tick, y}, {plot.frame.left, y}, axisPen);
        const std::string label = TickLabel(value, plot.y.precision, plot.y.exponent, sep);
        // The digits' middle, a little above the middle of the character cell.
        text.At(plot.frame.left - tick - kLabelGap * u - text.Width(label), y - em * 0.55, label);
    }
    if (legendRows > 0) DrawLegend(text, plot, legend, places.legendY);
    text.Use(kTickPoints);
    for (std::size_t i = 0; i < noteRows.size(); ++i)
        text.At(plot.area.left + pad, places.notesY + static_cast<double>(i) * h.tick, noteRows[i]);
}

void DrawFrame(PlotText& text, const PlotGeometry& plot) {
    text.Canvas().DrawRectangle(plot.frame, PlotPen(text, 0.8, LineStyle::Solid, kCanvasBlack),
                                std::nullopt);
}

void DrawNote(PlotText& text, const PlotGeometry& plot, const std::string& note) {
    const CanvasRect& box = plot.drawn ? plot.frame : plot.area;
    text.Use(kAxisTitlePoints);
    const std::string fitted = text.Fit(note, box.width - 2 * kPadding * text.Unit());
    if (fitted.empty() || text.Row() > box.height) return;
    // On white, so that no line of the plot runs through it.
    const double width = text.Width(fitted);
    const double x = box.left + (box.width - width) / 2, y = box.top + (box.height - text.Em()) / 2;
    const double margin = std::min(kPadding * text.Unit(), (box.width - width) / 2);
    text.Canvas().DrawRectangle({x - margin, y, width + 2 * margin, text.Row()},
                                {LineStyle::Solid, 1, kCanvasWhite}, kCanvasWhite);
    text.At(x, y, fitted);
}

namespace {

// Liang–Barsky: the part of the segment inside the rectangle, if any.
bool ClipSegment(CanvasPoint& a, CanvasPoint& b, const CanvasRect& r) {
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x - r.left, r.Right() - a.x, a.y - r.top, r.Bottom() - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const CanvasPoint start = a;
    a = {start.x + t0 * dx, start.y + t0 * dy};
    b = {start.x + t1 * dx, start.y + t1 * dy};
    // The ends on the edges, exactly, whatever the rounding.
    for (CanvasPoint* p2 : {&a, &b}) {
        p2->x = std::clamp(p2->x, r.left, r.Right());
        p2->y = std::clamp(p2->y, r.top, r.Bottom());
    }
    return true;
}

bool Finite(CanvasPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

} // namespace

std::vector<std::vector<CanvasPoint>> ClipToFrame(const std::vector<CanvasPoint>& points,
                                                  const CanvasRect& frame) {
    std::vector<std::vector<CanvasPoint>> pieces;
    std::vector<CanvasPoint> piece;
    auto finish = [&] {
        if (piece.size() >= 2) pieces.push_back(std::move(piece));
        piece.clear();
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        CanvasPoint a = points[i - 1], b = points[i];
        if (!Finite(a) || !Finite(b) || !ClipSegment(a, b, frame)) {
            finish();
            continue;
        }
        if (piece.empty() || !(piece.back() == a)) {
            finish();
            piece.push_back(a);
        }
        piece.push_back(b);
        // A segment that left the frame ends its piece.
        if (!(b == points[i])) finish();
    }
    finish();
    return pieces;
}

void DrawClipped(PageCanvas& canvas, const std::vector<CanvasPoint>& points,
                 const CanvasRect& frame, const LinePen& pen) {
    for (const std::vector<CanvasPoint>& piece : ClipToFrame(points, frame))
        canvas.DrawPolyline(piece, pen);
}

} // namespace valdex
