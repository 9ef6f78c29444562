#pragma once
// The parts both plots share: sizes in points on any device, the layout of a
// plot in its rectangle (title, y-axis title, frame, ticks, x-axis title,
// legend), the mapping of data into the frame and the clipping of lines to it.

#include "plots/axis_scale.h"
#include "report/page_canvas.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace valdex {

// Where a plot stands: its rectangle, the frame inside it and the axes. The
// frame holds the data; the texts stand around it, inside the rectangle.
struct PlotGeometry {
    bool drawn = false; // false: the rectangle is too small for a frame
    CanvasRect area, frame;
    AxisScale x, y;

    double MapX(double value) const;
    double MapY(double value) const;
    CanvasPoint Map(double xValue, double yValue) const { return {MapX(xValue), MapY(yValue)}; }
};

// The font sizes of the plots, in points.
inline constexpr int kPlotTitlePoints = 10;
inline constexpr int kAxisTitlePoints = 9;
inline constexpr int kTickPoints = 8;

// Texts on the canvas in the report's font, measured in device pixels.
class PlotText {
public:
    explicit PlotText(PageCanvas& canvas);

    void Use(int points);
    // Device pixels per point, fixed by the 10-point font's height.
    double Unit() const { return unit_; }
    double Em() const;
    // The height a line of text takes, its descenders included.
    double Row() const { return Em() * 1.25; }
    double Width(const std::string& text) const;
    void At(double x, double y, const std::string& text);
    // The text cut, with "…", to the width; empty when not even that fits.
    std::string Fit(const std::string& text, double width) const;
    // The text in lines no wider than `width`, cut at blanks; a word wider
    // than that is shortened by Fit.
    std::vector<std::string> Wrap(const std::string& text, double width) const;
    PageCanvas& Canvas() { return canvas_; }

private:
    PageCanvas& canvas_;
    double unit_ = 1;
};

struct LegendEntry {
    std::string text;
    std::optional<LinePen> line; // a line sample, or else a marker
    MarkerShape marker = MarkerShape::Circle;
    double markerSize = 0;
    CanvasColour markerColour = kCanvasBlack;

    static LegendEntry Line(std::string text, const LinePen& pen) {
        return {std::move(text), pen, MarkerShape::Circle, 0, kCanvasBlack};
    }
    static LegendEntry Marker(std::string text, MarkerShape shape, double size,
                              CanvasColour colour) {
        return {std::move(text), std::nullopt, shape, size, colour};
    }
};

struct PlotTitles {
    std::string title;
    std::string xTitle;
    std::string yTitle;
};

// Lays the plot out in `area`: the axis ranges keep the data `margin` device
// pixels inside the frame; `notes` stand under the legend, outside the
// frame, each wrapped to the area's width. Nothing is drawn.
PlotGeometry LayOutPlot(PlotText& text, const CanvasRect& area,
                        const std::vector<LegendEntry>& legend, const Interval& xData,
                        const Interval& yData, double margin, char sep,
                        const std::vector<std::string>& notes = {});

// The titles, ticks and their labels (an axis's common factor after its
// title), the legend and the notes under it.
void DrawPlotAxes(PlotText& text, const PlotGeometry& plot, const PlotTitles& titles,
                  const std::vector<LegendEntry>& legend, char sep,
                  const std::vector<std::string>& notes = {});
// The frame's outline, drawn over the data at its edges.
void DrawFrame(PlotText& text, const PlotGeometry& plot);
// A note in the middle of the frame, or of the area when there is no frame.
void DrawNote(PlotText& text, const PlotGeometry& plot, const std::string& note);

// The pieces of the polyline inside the frame (each at least two points).
std::vector<std::vector<CanvasPoint>> ClipToFrame(const std::vector<CanvasPoint>& points,
                                                  const CanvasRect& frame);

// Draws the polyline's pieces inside the frame.
void DrawClipped(PageCanvas& canvas, const std::vector<CanvasPoint>& points,
                 const CanvasRect& frame, const LinePen& pen);

// A pen `points` wide, never thinner than one device pixel.
LinePen PlotPen(const PlotText& text, double points, LineStyle style, CanvasColour colour);

// Markers at the same place (to half a device pixel) are drawn once, so that
// a hundred thousand responses give no more marks than can be seen; where
// more than one stands, their count beside the marker ("×3") says so.
class CountedMarkers {
public:
    void Add(CanvasPoint centre, MarkerShape shape, double size, CanvasColour colour);
    // The markers, then the counts in the tick font, inside the frame.
    void Draw(PlotText& text, const PlotGeometry& plot) const;

private:
    struct Spot {
        CanvasPoint centre;
        MarkerShape shape = MarkerShape::Circle;
        double size = 0;
        CanvasColour colour = kCanvasBlack;
        int count = 0;
    };
    std::map<std::tuple<long long, long long, int>, Spot> spots_;
};

} // namespace valdex
