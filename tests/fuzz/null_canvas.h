#pragma once
// A page canvas that draws nothing, with the fixed metrics of a 600 dpi
// Letter page, and that stops the fuzzer on a print job used out of order:
// drawing or a new page outside a job, a second job, a job left open.

#include "report/page_canvas.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace valdex::fuzz {

class NullCanvas : public PageCanvas {
public:
    void BeginDoc() override {
        Require(begun_ == 0, "a second job begun");
        ++begun_;
    }
    void EndDoc() override {
        Require(Open(), "a job ended that is not open");
        ++ended_;
    }
    void Abort() override {
        Require(Open(), "a job aborted that is not open");
        ++aborted_;
    }
    void NewPage() override { Require(Open(), "a new page outside a job"); }
    void SetFont(const std::string&, int pointSize, FontPitch) override { size_ = pointSize; }
    int FontHeight() const override { return -(size_ * kDpi + 36) / 72; }
    int FontPointSize() const override { return size_; }
    int TextWidth(const std::string& text) const override {
        int characters = 0;
        for (const unsigned char c : text)
            if ((c & 0xC0) != 0x80) ++characters;
        return characters * (size_ * kDpi / 144);
    }
    void TextOut(int, int, const std::string&) override { Require(Open(), "text outside a job"); }
    void DrawLine(int, int, int, int) override { Require(Open(), "a line outside a job"); }
    void DrawStyledLine(CanvasPoint, CanvasPoint, const LinePen&) override {
        Require(Open(), "a line outside a job");
    }
    void DrawPolyline(const std::vector<CanvasPoint>&, const LinePen&) override {
        Require(Open(), "a polyline outside a job");
    }
    void DrawRectangle(const CanvasRect&, const LinePen&, std::optional<CanvasColour>) override {
        Require(Open(), "a rectangle outside a job");
    }
    void DrawMarker(CanvasPoint, MarkerShape, double, CanvasColour) override {
        Require(Open(), "a marker outside a job");
    }
    void SetClip(const CanvasRect&) override { Require(Open(), "a clip outside a job"); }
    void ClearClip() override {}
    int PageWidth() const override { return 8 * kDpi; }
    int PageHeight() const override { return 21 * kDpi / 2; }

    // After the page returned: one job, ended.
    void CheckPrinted() const {
        Require(begun_ == 1 && ended_ == 1 && aborted_ == 0, "no whole job");
    }
    // After the page threw: no job, or one aborted.
    void CheckRefused() const {
        Require(begun_ == 0 || (ended_ == 0 && aborted_ == 1), "a refused page left its job");
    }

private:
    static constexpr int kDpi = 600;
    bool Open() const { return begun_ == 1 && ended_ == 0 && aborted_ == 0; }
    static void Require(bool condition, const char* fault) {
        if (condition) return;
        std::fprintf(stderr, "print job fault: %s\n", fault);
        std::abort();
    }

    int size_ = 10;
    int begun_ = 0, ended_ = 0, aborted_ = 0;
};

} // namespace valdex::fuzz
