#pragma once
// A page canvas that records every call, with simple deterministic metrics:
// the character height is the point size at the resolution, reported
// negative as some devices do, and every character is half an em wide.

#include "report/page_canvas.h"

#include <string>
#include <vector>

namespace valdex::testing {

struct CanvasCall {
    enum Kind { Begin, End, Abort, NewPage, Text, Line };
    Kind kind = Begin;
    int page = 0; // 1-based page of the job
    int x = 0, y = 0, x2 = 0, y2 = 0;
    std::string text;
    std::string font;
    int size = 0;
    FontPitch pitch = FontPitch::Default;
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

    int CharWidth(int pointSize) const { return pointSize * dpi_ / 144; }
    const std::vector<CanvasCall>& Calls() const { return calls_; }
    std::vector<CanvasCall> Texts() const { return Only(CanvasCall::Text); }
    std::vector<CanvasCall> Lines() const { return Only(CanvasCall::Line); }
    std::vector<CanvasCall::Kind> JobEvents() const {
        std::vector<CanvasCall::Kind> kinds;
        for (const CanvasCall& call : calls_)
            if (call.kind != CanvasCall::Text && call.kind != CanvasCall::Line)
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
        calls_.push_back(call);
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
    std::vector<CanvasCall> calls_;
};

} // namespace valdex::testing
