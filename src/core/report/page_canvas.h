#pragma once
// The printer canvas the printed pages draw on. Every coordinate is in device
// pixels from the top-left corner of the printable area; a text is placed by
// the top-left corner of its character cell.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace valdex {

enum class FontPitch { Default, Fixed, Variable };

// The width of the pen lines are drawn with, in device pixels.
inline constexpr int kLinePenWidth = 1;

// What the plots draw besides texts and rules. Their coordinates are device
// pixels as fractions, so that a curve is not bent to the pixel grid.
struct CanvasPoint {
    double x = 0;
    double y = 0;
    bool operator==(const CanvasPoint&) const = default;
};

struct CanvasRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
    bool Contains(CanvasPoint p) const {
        return p.x >= left && p.x <= Right() && p.y >= top && p.y <= Bottom();
    }
    bool operator==(const CanvasRect&) const = default;
};

// 0xRRGGBB.
using CanvasColour = std::uint32_t;
inline constexpr CanvasColour kCanvasBlack = 0x000000;
inline constexpr CanvasColour kCanvasWhite = 0xFFFFFF;

// Dashes and dots in proportion to the pen's width, so that the styles tell
// the lines apart on paper without colour.
enum class LineStyle { Solid, Dashed, Dotted, DashDotted };

struct LinePen {
    LineStyle style = LineStyle::Solid;
    double width = kLinePenWidth; // device pixels
    CanvasColour colour = kCanvasBlack;
    bool operator==(const LinePen&) const = default;
};

// An open circle, a filled circle, a filled square.
enum class MarkerShape { Circle, Disc, Square };

class PageCanvas {
public:
    virtual ~PageCanvas() = default;

    // One print job. Abort abandons a begun job so that nothing of it comes out.
    virtual void BeginDoc() = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
    // Starts a further page of the job in progress.
    virtual void NewPage() = 0;

    virtual void SetFont(const std::string& name, int pointSize, FontPitch pitch) = 0;
    // Character height of the selected font in device pixels (the em height,
    // without the leading); a device may report it negative.
    virtual int FontHeight() const = 0;
    // The point size of the selected font, read back from the device.
    virtual int FontPointSize() const = 0;
    virtual int TextWidth(const std::string& text) const = 0;

    virtual void TextOut(int x, int y, const std::string& text) = 0;
    // A straight line with the default pen: black, kLinePenWidth device
    // pixels wide. A horizontal line at y covers exactly the pixel row y,
    // from x1 up to x2 (not included), as a one-pixel pen of the device
    // draws it; a rule is never a thinner or a grey line.
    virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;

    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;

    // A line with a pen of its own, from `from` to `to`.
    virtual void DrawStyledLine(CanvasPoint from, CanvasPoint to, const LinePen& pen) = 0;
    // Connected segments through the points in order.
    virtual void DrawPolyline(const std::vector<CanvasPoint>& points, const LinePen& pen) = 0;
    // The outline of a rectangle; with `fill`, its inside painted first.
    virtual void DrawRectangle(const CanvasRect& rect, const LinePen& pen,
                               std::optional<CanvasColour> fill) = 0;
    // A marker `size` device pixels across, centred on the point.
    virtual void DrawMarker(CanvasPoint centre, MarkerShape shape, double size,
                            CanvasColour colour) = 0;
    // Until ClearClip, nothing is drawn outside the rectangle.
    virtual void SetClip(const CanvasRect& rect) = 0;
    virtual void ClearClip() = 0;
};

} // namespace valdex
