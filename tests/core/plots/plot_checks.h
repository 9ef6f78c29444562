#pragma once
// What every drawing of the plots must satisfy, whatever the data: finite
// coordinates, every call inside the plot's rectangle, and the data inside
// its frame.

#include "../report/recording_canvas.h"
#include "plots/diagnostics_plots.h"

#include <gtest/gtest.h>

#include <cmath>

namespace valdex::testing {

inline bool Within(const CanvasRect& r, CanvasPoint p, double slack = 1e-6) {
    return std::isfinite(p.x) && std::isfinite(p.y) && p.x >= r.left - slack &&
           p.x <= r.Right() + slack && p.y >= r.top - slack && p.y <= r.Bottom() + slack;
}

inline bool Covers(const CanvasRect& outer, const CanvasRect& inner) {
    return Within(outer, CanvasPoint{inner.left, inner.top}) &&
           Within(outer, CanvasPoint{inner.Right(), inner.Bottom()});
}

// Every call after `from` stands inside `area`; what is drawn under a clip
// stands inside the clip, which is one of the frames; a marker with the
// whole of its size.
inline void ExpectInside(const RecordingCanvas& canvas, const CanvasRect& area,
                         const std::vector<CanvasRect>& frames, std::size_t from = 0) {
    const std::vector<CanvasCall>& calls = canvas.Calls();
    for (std::size_t i = from; i < calls.size(); ++i) {
        const CanvasCall& call = calls[i];
        SCOPED_TRACE("call " + std::to_string(i) + " " + call.text);
        const std::optional<CanvasRect>& clip = call.clip;
        if (clip) {
            bool isFrame = false;
            for (const CanvasRect& frame : frames)
                isFrame = isFrame || *clip == frame;
            EXPECT_TRUE(isFrame);
        }
        const CanvasRect& bounds = clip ? *clip : area;
        switch (call.kind) {
        case CanvasCall::Text: {
            // Every character half an em wide.
            const double width = CodePoints(call.text) * canvas.CharWidth(call.size);
            const double em = 2.0 * canvas.CharWidth(call.size);
            EXPECT_TRUE(Within(
                area, CanvasPoint{static_cast<double>(call.x), static_cast<double>(call.y)}, 1));
            EXPECT_TRUE(Within(area, CanvasPoint{call.x + width, call.y + em}, 1));
            break;
        }
        case CanvasCall::Polyline:
            EXPECT_GE(call.points.size(), 2u);
            for (const CanvasPoint& p : call.points)
                EXPECT_TRUE(Within(bounds, p)) << p.x << ", " << p.y;
            EXPECT_TRUE(std::isfinite(call.pen.width) && call.pen.width >= 1);
            break;
        case CanvasCall::Marker: {
            const CanvasPoint c = call.points.at(0);
            const double h = call.markerSize / 2;
            EXPECT_TRUE(Within(bounds, CanvasPoint{c.x - h, c.y - h}) &&
                        Within(bounds, CanvasPoint{c.x + h, c.y + h}))
                << c.x << ", " << c.y;
            break;
        }
        case CanvasCall::Rectangle:
        case CanvasCall::Clip:
            EXPECT_TRUE(Covers(area, call.rect));
            if (call.kind == CanvasCall::Rectangle) {
                EXPECT_TRUE(Covers(bounds, call.rect));
            }
            break;
        default:
            break;
        }
    }
}

} // namespace valdex::testing
