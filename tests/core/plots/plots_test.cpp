// The calibration and residual plots on the recording canvas: where the
// worked example's points, line, bands and limits land; the bands widening
// away from x̄; nothing outside the frames whatever the data; the time for
// 100000 responses.

#include "../diagnostics/diagnostics_test_support.h"
#include "../support/worked_example.h"
#include "plot_checks.h"
#include "plots/axis_scale.h"
#include "plots/diagnostics_plots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>

namespace valdex {
namespace {

using testing::CanvasCall;
using testing::RecordingCanvas;

// The worked example as published: the line, s(y/x), and t(10; 0.975).
constexpr double kA = -0.0333333, kB = 2.0233333, kS = 0.146401, kT = 2.228139;
constexpr double kMeanX = 2.5, kQx = 15;
constexpr int kN = 12;
constexpr double kLD = 0.238776, kLC = 0.723565;
constexpr int kDpi = 300;
const CanvasRect kArea{150, 150, 2100, 2700};

double Unit() {
    return std::abs(-(10 * kDpi + 36) / 72) / 10.0; // pixels per point, from the 10-point font
}

double HalfWidth(double x, double one) {
    return kT * kS * std::sqrt(one + 1.0 / kN + (x - kMeanX) * (x - kMeanX) / kQx);
}

std::vector<CanvasCall> Drawn(const RecordingCanvas& canvas, CanvasCall::Kind kind,
                              const CanvasRect& clip) {
    std::vector<CanvasCall> calls;
    for (const CanvasCall& call : canvas.Calls())
        if (call.kind == kind && call.clip && *call.clip == clip) calls.push_back(call);
    return calls;
}

std::vector<CanvasCall> WithStyle(const std::vector<CanvasCall>& calls, LineStyle style) {
    std::vector<CanvasCall> out;
    for (const CanvasCall& call : calls)
        if (call.pen.style == style) out.push_back(call);
    return out;
}

const CanvasCall* TextCall(const RecordingCanvas& canvas, const std::string& text, int nth = 0) {
    for (const CanvasCall& call : canvas.Calls())
        if (call.kind == CanvasCall::Text && call.text == text && nth-- == 0) return &call;
    return nullptr;
}

double InverseX(const PlotGeometry& plot, double px) {
    return plot.x.range.low + (px - plot.frame.left) / plot.frame.width * plot.x.range.Span();
}

class WorkedExamplePlot : public ::testing::Test {
protected:
    void SetUp() override {
        const CalibrationStudy study = testing::WorkedExample();
        plots = DrawDiagnosticsPlots(canvas, study, ComputeDiagnostics(study, {}, '.'), kArea, '.');
        ASSERT_TRUE(plots.calibration.drawn);
        ASSERT_TRUE(plots.residuals.drawn);
    }
    const PlotGeometry& Cal() const { return plots.calibration; }
    std::vector<CanvasPoint> Points() const {
        const std::vector<std::pair<double, double>> xy = {{1, 2.1}, {1, 1.9}, {1, 2.0}, {2, 4.2},
                                                           {2, 3.9}, {2, 4.0}, {3, 6.1}, {3, 5.8},
                                                           {3, 6.0}, {4, 8.3}, {4, 7.9}, {4, 8.1}};
        std::vector<CanvasPoint> points;
        for (auto [x, y] : xy)
            points.push_back({x, y});
        return points;
    }

    RecordingCanvas canvas{kDpi, 2550, 3300};
    DiagnosticsPlots plots;
};

TEST_F(WorkedExamplePlot, ResponsesStandAtTheirLevels) {
    const std::vector<CanvasCall> markers = Drawn(canvas, CanvasCall::Marker, Cal().frame);
    ASSERT_EQ(markers.size(), 12u);
    for (const CanvasPoint& point : Points()) {
        const CanvasPoint expected = Cal().Map(point.x, point.y);
        const bool found = std::any_of(markers.begin(), markers.end(), [&](const CanvasCall& m) {
            return std::abs(m.points[0].x - expected.x) < 0.5 &&
                   std::abs(m.points[0].y - expected.y) < 0.5 && m.marker == kResponseMarker;
        });
        EXPECT_TRUE(found) << point.x << ", " << point.y;
    }
}

// Every level is at least 0: the line runs from 0, where the intercept is.
TEST_F(WorkedExamplePlot, LineOverTheLevels) {
    std::vector<CanvasCall> solid;
    for (const CanvasCall& call :
         WithStyle(Drawn(canvas, CanvasCall::Polyline, Cal().frame), LineStyle::Solid))
        if (call.pen.colour == kCanvasBlack) solid.push_back(call);
    ASSERT_EQ(solid.size(), 1u);
    ASSERT_EQ(solid[0].points.size(), 2u);
    EXPECT_EQ(Cal().x.ticks.front(), 0);
    const CanvasPoint from = Cal().Map(0, kA), to = Cal().Map(4, kA + 4 * kB);
    EXPECT_NEAR(solid[0].points[0].x, from.x, 0.5);
    EXPECT_NEAR(solid[0].points[0].y, from.y, 0.5);
    EXPECT_NEAR(solid[0].points[1].x, to.x, 0.5);
    EXPECT_NEAR(solid[0].points[1].y, to.y, 0.5);
    EXPECT_NEAR(solid[0].pen.width, 1.4 * Unit(), 1e-9);
}

// Both bands, two curves each, at a + b·x ± t·s·√(one + 1/N + (x − x̄)²/Q_x),
// from 0 to the last level.
TEST_F(WorkedExamplePlot, BandsFollowTheirFormulas) {
    const std::vector<CanvasCall> lines = Drawn(canvas, CanvasCall::Polyline, Cal().frame);
    for (const auto& [style, one] :
         {std::pair{kConfidenceStyle, 0.0}, std::pair{kPredictionStyle, 1.0}}) {
        const std::vector<CanvasCall> band = WithStyle(lines, style);
        ASSERT_EQ(band.size(), 2u);
        for (const CanvasCall& curve : band) {
            ASSERT_EQ(curve.points.size(), static_cast<std::size_t>(kBandSegments + 1));
            EXPECT_NEAR(InverseX(Cal(), curve.points.front().x), 0, 1e-9);
            EXPECT_NEAR(InverseX(Cal(), curve.points.back().x), 4, 1e-9);
            const double x0 = InverseX(Cal(), curve.points[kBandSegments / 2].x);
            const bool upper = curve.points[kBandSegments / 2].y < Cal().MapY(kA + kB * x0);
            for (const CanvasPoint& p : curve.points) {
                const double x = InverseX(Cal(), p.x);
                const double y = kA + kB * x + (upper ? 1 : -1) * HalfWidth(x, one);
                EXPECT_NEAR(p.y, Cal().MapY(y), 0.5) << "x = " << x;
            }
        }
        EXPECT_NE(band[0].points[3].y < band[1].points[3].y,
                  band[1].points[3].y < band[0].points[3].y);
    }
}

// The confidence band is narrowest at x̄ and widens on both sides of it; at
// the first and last levels it is √((1/12 + 2.25/15) / (1/12)) times as wide
// as at x̄ (the curves run from 0 to 4 in 64 steps: x̄ at 40, x = 1 at 16).
TEST_F(WorkedExamplePlot, BandWidensAwayFromTheMean) {
    const std::vector<CanvasCall> band =
        WithStyle(Drawn(canvas, CanvasCall::Polyline, Cal().frame), kConfidenceStyle);
    ASSERT_EQ(band.size(), 2u);
    std::vector<double> widths; // in pixels, between the two curves
    for (std::size_t i = 0; i < band[0].points.size(); ++i)
        widths.push_back(std::abs(band[0].points[i].y - band[1].points[i].y));
    const std::size_t middle = 40, first = 16;
    EXPECT_NEAR(InverseX(Cal(), band[0].points[middle].x), kMeanX, 1e-9);
    for (std::size_t i = 1; i <= middle; ++i)
        EXPECT_GT(widths[middle - i], widths[middle - i + 1]);
    for (std::size_t i = middle + 1; i < widths.size(); ++i)
        EXPECT_GT(widths[i], widths[i - 1]);
    EXPECT_NEAR(widths[first] / widths[middle], 1.673320, 1e-3);
    EXPECT_NEAR(widths.back(), widths[first], 0.5);
}

TEST_F(WorkedExamplePlot, LimitLinesAndLabels) {
    const std::vector<CanvasCall> limits =
        WithStyle(Drawn(canvas, CanvasCall::Polyline, Cal().frame), kLimitStyle);
    ASSERT_EQ(limits.size(), 2u);
    for (const auto& [call, value, label] :
         {std::tuple{limits[0], kLD, "LD"}, std::tuple{limits[1], kLC, "LC"}}) {
        const double x = Cal().MapX(value);
        ASSERT_EQ(call.points.size(), 2u);
        EXPECT_NEAR(call.points[0].x, x, 0.5);
        EXPECT_NEAR(call.points[1].x, x, 0.5);
        EXPECT_DOUBLE_EQ(call.points[0].y, Cal().frame.top);
        EXPECT_DOUBLE_EQ(call.points[1].y, Cal().frame.Bottom());
        const CanvasCall* text = TextCall(canvas, label);
        ASSERT_NE(text, nullptr) << label;
        EXPECT_NEAR(text->x, x + 2 * Unit(), 1) << label;
        EXPECT_GE(text->y, Cal().frame.top);
        EXPECT_LT(text->y, Cal().frame.top + Cal().frame.height / 4);
    }
}

TEST_F(WorkedExamplePlot, TitlesTicksAndCorner) {
    for (const char* text :
         {"Curva de calibración", "Residuos estandarizados", "Área", "Residuo / s(y/x)",
          "y = 2.0233333·x − 0.0333333", "s(y/x) = 0.146401; r² = 0.9965; N = 12",
          "LD = 0.238776 mg; LC = 0.723565 mg"})
        EXPECT_NE(TextCall(canvas, text), nullptr) << text;
    // The x-axis title under each plot, centred under its frame.
    for (int nth : {0, 1}) {
        const CanvasCall* title = TextCall(canvas, "Cantidad adicionada (mg)", nth);
        ASSERT_NE(title, nullptr);
        const PlotGeometry& plot = nth == 0 ? plots.calibration : plots.residuals;
        EXPECT_NEAR(title->x +
                        testing::CodePoints(title->text) * canvas.CharWidth(title->size) / 2.0,
                    plot.frame.left + plot.frame.width / 2, 1);
        EXPECT_GT(title->y, plot.frame.Bottom());
    }
    // Nice steps, every label centred on its tick under the frame.
    for (const AxisScale* axis : {&Cal().x, &Cal().y}) {
        ASSERT_GE(axis->ticks.size(), 3u);
        const double mantissa = axis->step / std::pow(10.0, std::floor(std::log10(axis->step)));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                    std::abs(mantissa - 5) < 1e-9)
            << axis->step;
    }
    for (double tick : Cal().x.ticks) {
        const std::string label = TickLabel(tick, Cal().x.precision, Cal().x.exponent, '.');
        const CanvasCall* text = TextCall(canvas, label);
        ASSERT_NE(text, nullptr) << label;
        EXPECT_NEAR(text->x + testing::CodePoints(label) * canvas.CharWidth(text->size) / 2.0,
                    Cal().MapX(tick), 1)
            << label;
    }
}

TEST_F(WorkedExamplePlot, StandardizedResidualsAndTheirLines) {
    const PlotGeometry& res = plots.residuals;
    const std::vector<CanvasCall> markers = Drawn(canvas, CanvasCall::Marker, res.frame);
    ASSERT_EQ(markers.size(), 12u);
    for (const CanvasPoint& point : Points()) {
        const double standardized = (point.y - (kA + kB * point.x)) / kS;
        const CanvasPoint expected = res.Map(point.x, standardized);
        EXPECT_TRUE(std::any_of(markers.begin(), markers.end(),
                                [&](const CanvasCall& m) {
                                    return std::abs(m.points[0].x - expected.x) < 0.5 &&
                                           std::abs(m.points[0].y - expected.y) < 0.5 &&
                                           m.marker == kResidualMarker;
                                }))
            << point.x << ", " << point.y;
    }
    const std::vector<CanvasCall> lines = Drawn(canvas, CanvasCall::Polyline, res.frame);
    const std::vector<CanvasCall> dashed = WithStyle(lines, kResidualLimitStyle);
    ASSERT_EQ(dashed.size(), 2u);
    EXPECT_NEAR(dashed[0].points[0].y, res.MapY(2), 1e-6);
    EXPECT_NEAR(dashed[1].points[0].y, res.MapY(-2), 1e-6);
    const std::vector<CanvasCall> zero = WithStyle(lines, LineStyle::Solid);
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_NEAR(zero[0].points[0].y, res.MapY(0), 1e-6);
    EXPECT_DOUBLE_EQ(zero[0].points[0].x, res.frame.left);
    EXPECT_DOUBLE_EQ(zero[0].points[1].x, res.frame.Right());
    // Both plots share the added quantities' axis.
    EXPECT_NEAR(res.x.range.low, Cal().x.range.low, 0.05);
    EXPECT_NEAR(res.x.range.high, Cal().x.range.high, 0.05);
}

TEST_F(WorkedExamplePlot, NothingOutsideTheFrames) {
    testing::ExpectInside(canvas, kArea, {plots.calibration.frame, plots.residuals.frame});
}

// ----- Whatever the data -----

CalibrationData Line(const std::vector<double>& xs, int replicates, double a, double b,
                     double noise) {
    CalibrationData data;
    for (double x : xs) {
        CalibrationLevel level{x, {}};
        for (int j = 0; j < replicates; ++j)
            level.responses.push_back(a + b * x +
                                      noise * ((j * 7 + static_cast<int>(x) * 3) % 5 - 2));
        data.levels.push_back(level);
    }
    return data;
}

CalibrationData ManyResponses(int count) {
    std::vector<double> xs;
    for (int i = 1; i <= 10; ++i)
        xs.push_back(i);
    return Line(xs, count / 10, 3, 2, 0.05);
}

PlotData FromData(const CalibrationData& data, std::optional<double> ld = std::nullopt) {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.AddedQuantityUnits = "µg";
    study.MeasuredProperty = "Absorbancia";
    Diagnostics d = ComputeDiagnostics(data, DiagnosticOptions{});
    d.study.LD = ld;
    if (ld) d.study.LC = *ld * 10 / 3.3;
    return MakePlotData(study, d);
}

struct Case {
    const char* name;
    CalibrationData data;
    std::optional<double> ld;
    CanvasRect area;
    bool bands;
};

TEST(PlotFramesTest, NothingOutsideTheFrameWhateverTheData) {
    const CanvasRect page{100, 100, 2000, 2600};
    const CanvasRect wide{0, 0, 1400, 500};
    const CanvasRect small{10, 20, 900, 1200}; // 3 by 4 inches
    const Case cases[] = {
        {"negative slope", Line({1, 2, 3, 4}, 3, 10, -2, 0.05), -0.4, page, true},
        {"x = 0", Line({0, 1, 2, 3}, 3, 0.1, 2, 0.05), 0.2, page, true},
        {"one level far from the others", Line({1, 2, 3, 1000}, 3, 1, 2, 0.5), 3, page, true},
        {"100000 responses", ManyResponses(100000), 0.1, page, true},
        {"equal responses", Line({1, 2, 3}, 3, 5, 0, 0), std::nullopt, page, false},
        {"two levels, single replicates", Line({1, 2}, 1, 1, 1, 0), std::nullopt, page, false},
        {"large offset", Line({1, 2, 3, 4}, 3, 1e6, 1e-3, 1e-4), 1, page, true},
        {"tiny values", Line({1e-9, 2e-9, 3e-9}, 3, 1e-12, 5e-4, 1e-14), 1e-10, page, true},
        {"a limit far beyond the levels", Line({1, 2, 3}, 3, 0, 1, 0.5), 500, page, true},
        {"side by side", Line({1, 2, 3, 4}, 3, 0, 2, 0.1), 0.3, wide, true},
        {"a small window", Line({1, 2, 3, 4}, 3, 0, 2, 0.1), 0.3, small, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingCanvas canvas(kDpi, 2550, 3300);
        const PlotData data = FromData(c.data, c.ld);
        EXPECT_EQ(data.bands.has_value(), c.bands);
        const DiagnosticsPlots plots = DrawDiagnosticsPlots(canvas, data, c.area, '.');
        ASSERT_TRUE(plots.calibration.drawn);
        ASSERT_TRUE(plots.residuals.drawn);
        testing::ExpectInside(canvas, c.area, {plots.calibration.frame, plots.residuals.frame});
        std::size_t markers = 0;
        for (const CanvasCall& m : Drawn(canvas, CanvasCall::Marker, plots.calibration.frame))
            markers += m.marker == kResponseMarker;
        EXPECT_GE(markers, 1u);
        EXPECT_LE(markers, c.data.Count() + 0u);
        // A limit is drawn at its absolute value, and only inside the axis.
        const std::vector<CanvasCall> limits =
            WithStyle(Drawn(canvas, CanvasCall::Polyline, plots.calibration.frame), kLimitStyle);
        if (c.ld && std::abs(*c.ld) > plots.calibration.x.range.low &&
            std::abs(*c.ld) < plots.calibration.x.range.high) {
            ASSERT_FALSE(limits.empty());
            EXPECT_NEAR(limits[0].points[0].x, plots.calibration.MapX(std::abs(*c.ld)), 0.5);
        }
        if (c.ld && std::abs(*c.ld) > 100) {
            EXPECT_TRUE(limits.empty());
        }
    }
}

// A rectangle too small for a frame draws nothing of the data.
TEST(PlotFramesTest, TooSmallForAFrame) {
    RecordingCanvas canvas(kDpi, 2550, 3300);
    const DiagnosticsPlots plots =
        DrawDiagnosticsPlots(canvas, FromData(Line({1, 2, 3}, 2, 0, 1, 0.1)), {0, 0, 120, 90}, '.');
    EXPECT_FALSE(plots.calibration.drawn);
    EXPECT_TRUE(canvas.Markers().empty());
    EXPECT_TRUE(canvas.Polylines().empty());
}

TEST(PlotFramesTest, ResidualsBeyondTwoAreSquares) {
    CalibrationData data = Line({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 3, 1, 2, 0.01);
    data.levels[6].responses[1] += 1.0; // level 7, replicate 2
    RecordingCanvas canvas(kDpi, 2550, 3300);
    const DiagnosticsPlots plots = DrawDiagnosticsPlots(canvas, FromData(data), kArea, '.');
    std::vector<CanvasCall> squares, discs;
    for (const CanvasCall& m : Drawn(canvas, CanvasCall::Marker, plots.residuals.frame))
        (m.marker == kOutlierMarker ? squares : discs).push_back(m);
    ASSERT_EQ(squares.size(), 1u);
    EXPECT_EQ(squares[0].pen.colour, kOutlierColour);
    EXPECT_NEAR(squares[0].points[0].x, plots.residuals.MapX(7), 0.5);
    EXPECT_LT(squares[0].points[0].y, plots.residuals.MapY(2));
    EXPECT_EQ(discs.size(), 29u);
}

// A decreasing curve: the corner gives LD and LC as the results window
// does, positive amounts; their lines stand at the quantities, and the labels at
// the bottom of the frame, under the falling line.
TEST(PlotFramesTest, DecreasingCurveLimits) {
    const CalibrationStudy study = testing::MakeStudy(
        {{"1", "3"}, {"2", "3"}, {"3", "3"}, {"4", "3"}},
        {"8.3", "7.9", "8.1", "6.1", "5.8", "6.0", "4.2", "3.9", "4.0", "2.1", "1.9", "2.0"});
    RecordingCanvas canvas(kDpi, 2550, 3300);
    const DiagnosticsPlots plots =
        DrawDiagnosticsPlots(canvas, study, ComputeDiagnostics(study, {}, '.'), kArea, '.');
    EXPECT_NE(TextCall(canvas, "LD = 0.238776 mg; LC = 0.723565 mg"), nullptr);
    EXPECT_NE(TextCall(canvas, "y = −2.0233333·x + 10.0833"), nullptr);
    const std::vector<CanvasCall> limits =
        WithStyle(Drawn(canvas, CanvasCall::Polyline, plots.calibration.frame), kLimitStyle);
    ASSERT_EQ(limits.size(), 2u);
    EXPECT_NEAR(limits[0].points[0].x, plots.calibration.MapX(kLD), 0.5);
    EXPECT_NEAR(limits[1].points[0].x, plots.calibration.MapX(kLC), 0.5);
    const CanvasCall* ld = TextCall(canvas, "LD");
    ASSERT_NE(ld, nullptr);
    EXPECT_GT(ld->y, plots.calibration.frame.top + plots.calibration.frame.height * 3 / 4);
    testing::ExpectInside(canvas, kArea, {plots.calibration.frame, plots.residuals.frame});
}

TEST(PlotFramesTest, DecimalSeparatorOfTheUser) {
    RecordingCanvas canvas(kDpi, 2550, 3300);
    const CalibrationStudy study = testing::WorkedExample();
    DrawDiagnosticsPlots(canvas, study, ComputeDiagnostics(study, {}, '.'), kArea, ',');
    EXPECT_NE(TextCall(canvas, "y = 2,0233333·x − 0,0333333"), nullptr);
    EXPECT_NE(TextCall(canvas, "0,5"), nullptr);
    for (const CanvasCall& text : canvas.Texts())
        EXPECT_EQ(text.text.find("0.5"), std::string::npos) << text.text;
}

TEST(PlotFramesTest, DrawingOneHundredThousandResponsesIsQuick) {
    const CalibrationData data = ManyResponses(100000);
    const Diagnostics d = ComputeDiagnostics(data, DiagnosticOptions{});
    CalibrationStudy study = CalibrationStudy::MakeNew();
    const auto start = std::chrono::steady_clock::now();
    RecordingCanvas canvas(kDpi, 2550, 3300);
    DrawDiagnosticsPlots(canvas, MakePlotData(study, d), kArea, '.');
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "Plots of 100000 responses drawn in " << seconds << " s\n";
    ::testing::Test::RecordProperty("seconds", std::to_string(seconds));
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(seconds, 0.3); // timed only where the build is optimized and not instrumented
#endif
    // Points on one place are drawn once.
    EXPECT_LT(canvas.Markers().size(), 20000u);
}

// ----- Scales -----

TEST(AxisScaleTest, NiceSteps) {
    const std::pair<double, double> cases[] = {
        {0.7, 1}, {1, 1},        {1.01, 2},  {0.2, 0.2},   {0.2000001, 0.5}, {3, 5},
        {7, 10},  {0.013, 0.02}, {450, 500}, {2e-7, 2e-7}, {0.03, 0.05},     {1e12, 1e12}};
    for (auto [rough, nice] : cases)
        EXPECT_NEAR(NiceStep(rough), nice, nice * 1e-12) << rough;
    EXPECT_EQ(NiceStep(0), 0);
    EXPECT_EQ(NiceStep(-1), 0);
    EXPECT_EQ(NiceStep(INFINITY), 0);
}

TEST(AxisScaleTest, IntervalsAndLabels) {
    Interval i;
    ASSERT_TRUE(CoverInterval(5, 5, i));
    EXPECT_LT(i.low, 5);
    EXPECT_GT(i.high, 5);
    ASSERT_TRUE(CoverInterval(0, 0, i));
    EXPECT_DOUBLE_EQ(i.Span(), 1);
    EXPECT_FALSE(CoverInterval(0, INFINITY, i));
    EXPECT_FALSE(CoverInterval(NAN, 1, i));
    ASSERT_TRUE(CoverInterval(3, 1, i)); // either order
    EXPECT_DOUBLE_EQ(i.low, 1);
    EXPECT_DOUBLE_EQ(i.high, 3);

    // Responses of 1e6 ± 1: labels that tell the ticks apart.
    const AxisScale scale = MakeScale(
        {999999, 1000001}, 500, [](const std::vector<double>&, double, int, int) { return true; });
    ASSERT_GE(scale.ticks.size(), 3u);
    std::vector<std::string> labels;
    for (double tick : scale.ticks)
        labels.push_back(TickLabel(tick, scale.precision, scale.exponent, '.'));
    EXPECT_EQ(std::adjacent_find(labels.begin(), labels.end()), labels.end());
    EXPECT_EQ(labels.front().find('E'), std::string::npos) << labels.front();

    // The finest step whose labels fit; none when nothing fits.
    const AxisScale coarse =
        MakeScale({0, 10}, 100,
                  [](const std::vector<double>&, double length, int, int) { return length >= 20; });
    EXPECT_DOUBLE_EQ(coarse.step, 2);
    EXPECT_EQ(coarse.ticks, (std::vector<double>{0, 2, 4, 6, 8, 10}));
    const AxisScale none =
        MakeScale({0, 10}, 100, [](const std::vector<double>&, double, int, int) { return false; });
    EXPECT_TRUE(none.ticks.empty());
    EXPECT_EQ(TickLabel(-0.0, 6, 0, '.'), "0");
    EXPECT_EQ(TickLabel(0.30000000000000004, 15, 0, ','), "0,3");
}

TEST(PlotDataTest, BandsAndTitlesFromTheStudy) {
    const CalibrationStudy study = testing::WorkedExample();
    const PlotData data = MakePlotData(study, ComputeDiagnostics(study, {}, '.'));
    EXPECT_EQ(data.xTitle, "Cantidad adicionada (mg)");
    EXPECT_EQ(data.yTitle, "Área");
    ASSERT_TRUE(data.bands);
    EXPECT_NEAR(data.bands->ConfidenceHalfWidth(2.5), HalfWidth(2.5, 0), 1e-6);
    EXPECT_NEAR(data.bands->PredictionHalfWidth(1), HalfWidth(1, 1), 1e-6);
    ASSERT_TRUE(data.r2);
    EXPECT_NEAR(*data.r2, 0.99652183, 1e-8);
    EXPECT_NEAR(*data.LD, kLD, 1e-6);
    EXPECT_NEAR(*data.LC, kLC, 1e-6);

    CalibrationStudy plain = study;
    plain.AddedQuantityUnits.clear();
    plain.MeasuredProperty.clear();
    const PlotData untitled = MakePlotData(plain, ComputeDiagnostics(plain, {}, '.'));
    EXPECT_EQ(untitled.xTitle, "Cantidad adicionada");
    EXPECT_EQ(untitled.yTitle, "Respuesta");
}

} // namespace
} // namespace valdex
