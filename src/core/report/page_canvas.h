#pragma once
// The printer canvas the printed pages draw on. Every coordinate is in device
// pixels from the top-left corner of the printable area; a text is placed by
// the top-left corner of its character cell.

#include <string>

namespace valdex {

enum class FontPitch { Default, Fixed, Variable };

// The width of the pen lines are drawn with, in device pixels.
inline constexpr int kLinePenWidth = 1;

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
};

} // namespace valdex
