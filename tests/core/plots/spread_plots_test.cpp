// The normal probability plot and the spread of the levels, and the two
// plots of the line under a weight, on the recording canvas with the
// cadmium calibration (spread growing with the level).

#include "../diagnostics/diagnostics_test_support.h"
#include "calc/format_general.h"
#include "plot_checks.h"
#include "plots/spread_plots.h"

#include <boost/math/distributions/normal.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace valdex {
namespace {

using testing::CanvasCall;
using testing::ReadCsv;
using testing::RecordingCanvas;

const CanvasRect kArea{150, 150, 2100, 2700};

Diagnostics Cadmium(WeightScheme scheme) {
    DiagnosticOptions options;
    options.weighting = scheme;
    return ComputeDiagnostics(ReadCsv("cadmium_epa1997.csv"), options);
}

bool HasText(const RecordingCanvas& canvas, const std::string& piece) {
    for (const CanvasCall& call : canvas.Calls())
        if (call.kind == CanvasCall::Text && call.text.find(piece) != std::string::npos)
            return true;
    return false;
}

int Count(const RecordingCanvas& canvas, CanvasCall::Kind kind, const CanvasRect& clip,
          std::optional<LineStyle> style = std::nullopt) {
    int n = 0;
    for (const CanvasCall& call : canvas.Calls())
        if (call.kind == kind && call.clip && *call.clip == clip &&
            (!style || call.pen.style == *style))
            ++n;
    return n;
}

TEST(NormalProbabilityPlotTest, BlomScoresAgainstTheirTables) {
    std::ifstream in(std::string(VALDEX_SOURCE_DIR) + "/tests/core/plots/data/normal_scores.txt");
    ASSERT_TRUE(in);
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int n = 0, i = 0;
        double blom = 0, expected = 0;
        fields >> n >> i >> blom >> expected;
        SCOPED_TRACE(line);
        const std::vector<double> q = BlomQuantiles(n);
        ASSERT_EQ(q.size(), static_cast<std::size_t>(n));
        EXPECT_NEAR(q[i - 1], blom, 5e-5);
        EXPECT_NEAR(q[i - 1], expected, 0.02);
        ++rows;
    }
    EXPECT_EQ(rows, 10);
    EXPECT_TRUE(BlomQuantiles(0).empty());
}

// The quartile line as R's qqline gives it for 1…10 (in any order):
// through (Φ⁻¹(0.25), 3.25) and (Φ⁻¹(0.75), 7.75), slope 3.335854.
TEST(NormalProbabilityPlotTest, SortedResidualsAndTheQuartileLine) {
    PlotData data;
    for (double v : {7.0, 2.0, 10.0, 1.0, 5.0, 9.0, 3.0, 6.0, 4.0, 8.0}) {
        PlotPoint p;
        p.standardized = v;
        data.points.push_back(p);
    }
    data.points.push_back({}); // a response without a residual is left out
    const QQData qq = MakeQQData(data);
    ASSERT_EQ(qq.sample.size(), 10u);
    EXPECT_TRUE(std::is_sorted(qq.sample.begin(), qq.sample.end()));
    EXPECT_EQ(qq.theoretical, BlomQuantiles(10));
    ASSERT_TRUE(qq.slope && qq.intercept);
    EXPECT_NEAR(*qq.slope, 3.335854, 1e-6);
    EXPECT_NEAR(*qq.intercept, 5.5, 1e-12);
}

// Each plot drawn alone and together, for the ordinary line, a weight that
// works with blanks and one refused at x = 0: the texts it must show and
// every call inside the rectangle and its frames.
TEST(SpreadPlotsTest, CadmiumUnderEachWeight) {
    struct Case {
        WeightScheme scheme;
        std::vector<std::string> calibrationTexts, residualTexts, spreadTexts;
        int predictionCurves;
    };
    const std::vector<Case> cases{
        {WeightScheme::None,
         {"Recta", "s(y/x) = "},
         {"Residuos estandarizados", "Residuo / s(y/x)"},
         {"Prueba F de los niveles extremos: F = ", "varianzas no homogéneas"},
         2},
        {WeightScheme::VarianceFunction,
         {"Recta ponderada (funcion)", "Ponderación: funcion", "s_w = ", "LD (σ₀) = "},
         {"Residuos ponderados", "√w·e / s_w", "|√w·e/s_w| ≤ 2"},
         {"s(x) = c₀ + c₁·x", "c₀ = "},
         0},
        {WeightScheme::InverseX,
         {"ponderación 1/x no aplicada: ", "s(y/x) = "},
         {"Residuos estandarizados"},
         {"CV % por nivel"},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WeightName(c.scheme));
        const Diagnostics d = Cadmium(c.scheme);
        const PlotData data = MakePlotData(CalibrationStudy::MakeNew(), d);
        RecordingCanvas canvas(300, 2400, 3000);
        const DiagnosticsPlots lines = DrawDiagnosticsPlots(canvas, data, kArea, '.');
        ASSERT_TRUE(lines.calibration.drawn && lines.residuals.drawn);
        for (const std::string& t : c.calibrationTexts)
            EXPECT_TRUE(HasText(canvas, t)) << t;
        for (const std::string& t : c.residualTexts)
            EXPECT_TRUE(HasText(canvas, t)) << t;
        EXPECT_EQ(Count(canvas, CanvasCall::Polyline, lines.calibration.frame, LineStyle::Dotted),
                  c.predictionCurves);
        testing::ExpectInside(canvas, kArea, {lines.calibration.frame, lines.residuals.frame});

        RecordingCanvas spread(300, 2400, 3000);
        const ResidualSpreadPlots plots = DrawResidualSpreadPlots(spread, data, kArea, '.');
        ASSERT_TRUE(plots.normal.drawn && plots.spread.sd.drawn && plots.spread.cv.drawn);
        for (const std::string& t : c.spreadTexts)
            EXPECT_TRUE(HasText(spread, t)) << t;
        const ShapiroWilkTest& sw = data.weight.empty() ? d.shapiroWilk : d.weighted.shapiroWilk;
        ASSERT_TRUE(sw.W);
        EXPECT_TRUE(HasText(spread, "Shapiro–Wilk: W = " + FormatProse(*sw.W, 4, '.', true)));
        // 35 residuals, five levels: no two markers at one place here.
        EXPECT_EQ(Count(spread, CanvasCall::Marker, plots.normal.frame), 35);
        EXPECT_EQ(Count(spread, CanvasCall::Marker, plots.spread.sd.frame), 5);
        EXPECT_EQ(Count(spread, CanvasCall::Marker, plots.spread.cv.frame),
                  static_cast<int>(std::count_if(data.spreads.begin(), data.spreads.end(),
                                                 [](const LevelSpread& s) { return s.cv; })));
        testing::ExpectInside(spread, kArea,
                              {plots.normal.frame, plots.spread.sd.frame, plots.spread.cv.frame});
    }
}

// Under a weight the plot's line, limits and residuals are the weighted
// line's: √w·e/s_w for each response, LD and LC from σ₀.
TEST(SpreadPlotsTest, WeightedLineInPlaceOfTheOrdinaryOne) {
    const Diagnostics d = Cadmium(WeightScheme::VarianceFunction);
    const PlotData data = MakePlotData(CalibrationStudy::MakeNew(), d);
    ASSERT_EQ(data.weight, "funcion");
    EXPECT_EQ(data.a, d.weighted.a);
    EXPECT_EQ(data.b, d.weighted.b);
    EXPECT_EQ(data.LD, d.weighted.LD);
    EXPECT_EQ(data.LC, d.weighted.LC);
    ASSERT_TRUE(data.bands && !data.bands->prediction);
    EXPECT_NEAR(data.bands->ConfidenceHalfWidth(*d.weighted.meanXw),
                data.bands->t * *d.weighted.sw / std::sqrt(*d.weighted.sumW), 1e-12);
    ASSERT_EQ(data.points.size(), d.weighted.residuals.size());
    for (std::size_t i = 0; i < data.points.size(); ++i)
        EXPECT_NEAR(*data.points[i].standardized, *d.weighted.residuals[i] / *d.weighted.sw, 1e-12);
}

// Too little to draw: a note in the area, nothing outside it.
TEST(SpreadPlotsTest, NothingToDraw) {
    const std::vector<CalibrationData> studies{
        {}, testing::Levels({{1, {2.0}}}), testing::Levels({{1, {2.0}}, {2, {4.0}}})};
    for (const CalibrationData& study : studies) {
        const PlotData data =
            MakePlotData(CalibrationStudy::MakeNew(), ComputeDiagnostics(study, {}));
        RecordingCanvas canvas(300, 2400, 3000);
        const ResidualSpreadPlots plots = DrawResidualSpreadPlots(canvas, data, kArea, '.');
        EXPECT_FALSE(plots.normal.drawn);
        EXPECT_FALSE(plots.spread.sd.drawn);
        testing::ExpectInside(canvas, kArea, {});
    }
}

} // namespace
} // namespace valdex
