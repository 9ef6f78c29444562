#pragma once
// A page canvas that records every call, with simple deterministic metrics:
// the character height is the point size at the resolution, reported
// negative as some devices do, and every character is half an em wide.
// Every call carries the clip rectangle in force when it was made.

#include "report/page_canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace valdex::testing {

struct CanvasCall {
    enum Kind { Begin, End, Abort, NewPage, Text, Line, Polyline, Rectangle, Marker, Clip, Unclip };
    Kind kind = Begin;
    int page = 0; // 1-based page of the job
    int x = 0, y = 0, x2 = 0, y2 = 0;
    std::string text;
    std::string font;
    int size = 0;
    FontPitch pitch = FontPitch::Default;
    // Polyline (a styled line is one of two points), Marker (its centre).
    std::vector<CanvasPoint> points;
    LinePen pen;
    CanvasRect rect; // Rectangle, Clip
    std::optional<CanvasColour> fill;
    MarkerShape marker = MarkerShape::Circle;
    double markerSize = 0;
    std::optional<CanvasRect> clip;
};

inline int CodePoints(const std::string& text) {
    int count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

class RecordingCanvas : public PageCanvas {
public:
    RecordingCanvas(int dpi, int width, int height) : dpi_(dpi), width_(width), height_(height) {}

    void BeginDoc() override {
        Record(Call(CanvasCall::Begin));
        page_ = 1;
    }
    void EndDoc() override { Record(Call(CanvasCall::End)); }
    void Abort() override { Record(Call(CanvasCall::Abort)); }
    void NewPage() override {
        ++page_;
        Record(Call(CanvasCall::NewPage));
    }
    void SetFont(const std::string& name, int pointSize, FontPitch pitch) override {
        font_ = name;
        size_ = pointSize;
        pitch_ = pitch;
    }
    int FontHeight() const override { return -(size_ * dpi_ + 36) / 72; }
    int FontPointSize() const override { return size_; }
    int TextWidth(const std::string& text) const override {
        return CodePoints(text) * CharWidth(size_);
    }
    void TextOut(int x, int y, const std::string& text) override {
        CanvasCall call = Call(CanvasCall::Text);
        call.x = x;
        call.y = y;
        call.text = text;
        Record(call);
    }
    void DrawLine(int x1, int y1, int x2, int y2) override {
        CanvasCall call = Call(CanvasCall::Line);
        call.x = x1;
        call.y = y1;
        call.x2 = x2;
        call.y2 = y2;
        Record(call);
    }
    int PageWidth() const override { return width_; }
    int PageHeight() const override { return height_; }
    void DrawStyledLine(CanvasPoint from, CanvasPoint to, const LinePen& pen) override {
        DrawPolyline({from, to}, pen);
    }
    void DrawPolyline(const std::vector<CanvasPoint>& points, const LinePen& pen) override {
        CanvasCall call = Call(CanvasCall::Polyline);
        call.points = points;
        call.pen = pen;
        Record(std::move(call));
    }
    void DrawRectangle(const CanvasRect& rect, const LinePen& pen,
                       std::optional<CanvasColour> fill) override {
        CanvasCall call = Call(CanvasCall::Rectangle);
        call.rect = rect;
        call.pen = pen;
        call.fill = fill;
        Record(std::move(call));
    }
    void DrawMarker(CanvasPoint centre, MarkerShape shape, double size,
                    CanvasColour colour) override {
        CanvasCall call = Call(CanvasCall::Marker);
        call.points = {centre};
        call.marker = shape;
        call.markerSize = size;
        call.pen.colour = colour;
        Record(std::move(call));
    }
    void SetClip(const CanvasRect& rect) override {
        clip_ = rect;
        CanvasCall call = Call(CanvasCall::Clip);
        call.rect = rect;
        Record(std::move(call));
    }
    void ClearClip() override {
        clip_.reset();
        Record(Call(CanvasCall::Unclip));
    }

    int CharWidth(int pointSize) const { return pointSize * dpi_ / 144; }
    const std::vector<CanvasCall>& Calls() const { return calls_; }
    std::vector<CanvasCall> Texts() const { return Only(CanvasCall::Text); }
    std::vector<CanvasCall> Lines() const { return Only(CanvasCall::Line); }
    std::vector<CanvasCall> Polylines() const { return Only(CanvasCall::Polyline); }
    std::vector<CanvasCall> Markers() const { return Only(CanvasCall::Marker); }
    std::vector<CanvasCall> Rectangles() const { return Only(CanvasCall::Rectangle); }
    // The job's beginning, pages, end or abort, without what is drawn.
    std::vector<CanvasCall::Kind> JobEvents() const {
        std::vector<CanvasCall::Kind> kinds;
        for (const CanvasCall& call : calls_)
            if (call.kind == CanvasCall::Begin || call.kind == CanvasCall::End ||
                call.kind == CanvasCall::Abort || call.kind == CanvasCall::NewPage)
                kinds.push_back(call.kind);
        return kinds;
    }

private:
    static CanvasCall Call(CanvasCall::Kind kind) {
        CanvasCall call;
        call.kind = kind;
        return call;
    }
    void Record(CanvasCall call) {
        call.page = page_;
        call.font = font_;
        call.size = size_;
        call.pitch = pitch_;
        call.clip = clip_;
        calls_.push_back(std::move(call));
    }
    std::vector<CanvasCall> Only(CanvasCall::Kind kind) const {
        std::vector<CanvasCall> out;
        for (const CanvasCall& call : calls_)
            if (call.kind == kind) out.push_back(call);
        return out;
    }

    int dpi_, width_, height_;
    int page_ = 0;
    std::string font_;
    int size_ = 0;
    FontPitch pitch_ = FontPitch::Default;
    std::optional<CanvasRect> clip_;
    std::vector<CanvasCall> calls_;
};

} // namespace valdex::testing
