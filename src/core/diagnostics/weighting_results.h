#pragma once
// What the diagnostics add about the variances and the weights: the F test of
// the end levels, Shapiro–Wilk of the residuals, the weighted line with its
// limits, the recommendation, the blank method and the intervals of the
// ICH-form limits. Plain results, each with its Spanish reason when missing.

#include <optional>
#include <string>
#include <vector>

namespace valdex {

using Value = std::optional<double>;

// The weights offered. Explicit weights are one per level, in study order.
enum class WeightScheme {
    None,
    InverseX,
    InverseX2,
    InverseY,
    InverseY2,
    InverseVariance,  // 1/s² of each level
    VarianceFunction, // 1/s(x)², s(x) = c₀ + c₁·x fitted to the level SDs
    Explicit,
};

// The names used on the command line and in every text and JSON object:
// "ninguna", "1/x", "1/x2", "1/y", "1/y2", "1/s2", "funcion", "explicitos".
const char* WeightName(WeightScheme scheme);
std::optional<WeightScheme> ParseWeightName(const std::string& name);

// F = s²(larger)/s²(smaller) of the lowest and the highest level, against
// F(0.99; ν_num, ν_den).
struct EndLevelsFTest {
    Value F, fCritical, p;
    int dfNumerator = 0, dfDenominator = 0;
    double alpha = 0.01;
    bool significant = false;
    std::string reason;
};

struct ShapiroWilkTest {
    int n = 0;
    Value W, p;
    double alpha = 0.05;
    bool significant = false; // normality rejected
    std::string reason;
};

// A limit and its 95 % interval from the χ² distribution of s with df
// degrees of freedom.
struct LimitInterval {
    Value value, lower, upper;
};
struct IchIntervals {
    int df = 0;
    LimitInterval LD, LC;
    std::string reason;
};

struct WeightedLevel {
    double x = 0;
    Value weight;               // the level's weight when its responses share one
    Value xCalc, relativeError; // back-calculated x of the level mean, %RE
};

struct WeightedLine {
    WeightScheme scheme = WeightScheme::None;
    int N = 0, df = 0;
    Value a, aLower, aUpper, b, bLower, bUpper;
    Value sw, sa, sb, r2, sumW, meanXw, meanYw, sxxw;
    Value c0, c1;                    // the variance function, when used
    std::vector<Value> residuals;    // √w·e, in the order of Diagnostics::residuals
    std::vector<Value> rawResiduals; // e
    std::vector<WeightedLevel> levels;
    Value sumAbsRE;              // Σ|%RE| over the standards with x ≠ 0
    ShapiroWilkTest shapiroWilk; // of the weighted residuals
    Value sigma0;                // s(0) = s_w/√w(0)
    Value LD, LC;                // 3.3·σ₀/|b|, 10·σ₀/|b|
    IchIntervals ichIntervals;
    Value xNG, xEG, xBG;      // DIN 32645 with the weighted prediction variance
    Value yC, xC, xD;         // Hubaux–Vos, likewise
    std::string limitsReason; // why σ₀ or a limit is missing
    std::string reason;       // why the weight or the line is refused
};

// One weight offered, fitted, with Σ|%RE| (or the reason it was refused).
struct WeightCandidate {
    WeightScheme scheme = WeightScheme::None;
    Value sumAbsRE;
    std::string reason;
};

struct WeightRecommendation {
    bool weight = false;              // "se recomienda ponderar"
    std::vector<WeightScheme> ranked; // best first
    std::string text;                 // the verdict, the ranking, the grounds and the caution
};

// DIN 32645 blank method and the ICH "SD of the blank" limits.
struct BlankMethod {
    int n = 0;              // blank responses
    bool fromStudy = false; // the level at x = 0, not given blanks
    Value mean, sd;
    Value xNG, xEG, xBG, LD, LC;
    IchIntervals intervals;    // of LD and LC, df = n − 1
    LimitInterval xNGInterval; // the same χ² interval of x_NG
    std::string reason;
};

} // namespace valdex
