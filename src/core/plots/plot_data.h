#pragma once
// What the two plots show, taken from the study and its diagnostics: the
// points, the line with its 95 % bands, the study's LD and LC and the axis
// titles. Nothing here is drawn; nothing here is ever NaN or infinite.

#include "diagnostics/diagnostics.h"
#include "plots/axis_scale.h"
#include "study/calibration_study.h"

#include <optional>
#include <string>
#include <vector>

namespace valdex {

// The two-sided level of both bands.
inline constexpr double kBandLevel = 0.95;

struct PlotPoint {
    double x = 0;
    double y = 0;
    std::optional<double> standardized; // e / s(y/x)
    int level = 0, replicate = 0;       // 1-based, as in the study
    bool grubbsFlag = false;            // the response Grubbs flags in its level
};

// The mean response of one level.
struct LevelMean {
    double x = 0, y = 0;
};

// Standardized residuals beyond ±2 are drawn apart.
inline constexpr double kResidualLimit = 2;
bool BeyondResidualLimit(const PlotPoint& point);

// The 95 % bands about the line a + b·x:
//   mean response   ± t·s·√(1/N + (x − x̄)²/Q_x)
//   one response    ± t·s·√(1 + 1/N + (x − x̄)²/Q_x)
// with t = t(N − 2; 0.975). Under weights the mean response's band is
// ± t·s_w·√(1/Σw + (x − x̄_w)²/S_xx,w), and there is no band of one response
// (it needs w(x) between the levels).
struct BandModel {
    double t = 0, s = 0;
    int N = 0;
    double meanX = 0, qx = 0;
    std::optional<double> sumW; // the weighted line's Σw
    bool prediction = true;
    double ConfidenceHalfWidth(double x) const;
    double PredictionHalfWidth(double x) const;
};

// The spread of one level's responses: s, and CV % = 100·s/|ȳ| where ȳ ≠ 0.
struct LevelSpread {
    double x = 0, sd = 0;
    std::optional<double> cv;
};

struct PlotData {
    std::vector<PlotPoint> points; // every response, in study order
    Interval levels;               // the added quantities that have responses
    bool hasPoints = false;
    std::optional<double> a, b; // the line, when there is one
    std::optional<BandModel> bands;
    // The study's LD and LC as the results window gives them: a decreasing
    // curve gives them negative, and the plot draws them at their absolute
    // values (the quantities they stand for).
    std::optional<double> LD, LC;
    std::optional<double> r2;
    int N = 0;
    // The line's standard deviation and the 95 % intervals of a and b as the
    // results window gives them: a ± t·s_a, b ± t·s/√Q_x, t from its table
    // for N − 2 degrees of freedom.
    std::optional<double> s;
    std::optional<Interval> aInterval, bInterval;
    std::vector<LevelMean> means;
    // Why a limit has no value ("no estimable (s = 0)"), and the sentences
    // that qualify the limits.
    std::string limitReason;
    std::vector<std::string> caveats;
    std::string xTitle; // "Cantidad adicionada (<unidades>)"
    std::string yTitle; // the measured property
    std::string units;  // of the added quantity
    // The weight chosen ("1/x2"): the line, its band, its limits and the
    // residuals (√w·e/s_w in `standardized`) are the weighted line's. Empty
    // for the ordinary line; `weightReason` says why a weight asked for was
    // refused, and then everything is the ordinary line's.
    std::string weight, weightReason;
    ShapiroWilkTest shapiroWilk; // of the residuals drawn
    std::vector<LevelSpread> spreads;
    std::optional<double> c0, c1; // the variance function s(x) = c₀ + c₁·x
    EndLevelsFTest endLevelsF;
    double Line(double x) const { return *a + *b * x; }
};

// r² = 1 − Σ e² / Σ (y − ȳ)² over every point; nothing without a line or
// when the responses are all equal.
std::optional<double> CoefficientOfDetermination(const Diagnostics& diagnostics);

PlotData MakePlotData(const CalibrationStudy& study, const Diagnostics& diagnostics);

// A response by its level and replicate, both 1-based.
struct ResponsePlace {
    int level = 0, replicate = 0;
};

// In each level that Grubbs flags, the response furthest from the level's
// mean (the one its statistic G measures; the first of equal ones).
std::vector<ResponsePlace> GrubbsFlaggedResponses(const Diagnostics& diagnostics);

// "posible atípico: nivel 3, réplica 2", "posibles atípicos: nivel 1,
// réplica 1; nivel 3, réplica 2"; empty when none is flagged.
std::string FlaggedResponsesText(const std::vector<ResponsePlace>& flagged);

// The x interval both plots share: the levels, from 0 when every level is
// at least 0, with LD and LC when they lie no further from the levels than
// the levels' own width.
std::optional<Interval> SharedXData(const PlotData& data);

} // namespace valdex
