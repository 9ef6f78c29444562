#pragma once
// Weighted least squares on any finite positive weight per response, the
// weights offered, and the limits and readings that the weighted line gives.
// The SD of one response at x is s(x) = s_w/√w(x), so every result depends
// only on the ratios of the weights: the same data in other units, or the
// weights times a constant, give the same amounts.

#include "diagnostics/calibration_data.h"
#include "diagnostics/diagnostics.h"
#include "diagnostics/sample_reading.h"
#include "diagnostics/weighting_results.h"

#include <optional>
#include <string>
#include <vector>

namespace valdex {

// The weight of every response and the rule that gives w at any x.
struct WeightModel {
    WeightScheme scheme = WeightScheme::None;
    std::vector<std::vector<long double>> responseWeights; // as data.levels[i].responses
    std::vector<double> levelX;           // 1/s² and explicit: the levels' weights
    std::vector<long double> levelWeight; // one per entry of levelX
    long double c0 = 0, c1 = 0;           // the variance function s(x) = c₀ + c₁·x
    long double a = 0, b = 0;             // the weighted line, for 1/y and 1/y² at any x
    long double scale = 1;                // every weight times this (results do not change)
    std::string reason;                   // why the weight is refused; then no weights

    bool Usable() const { return reason.empty(); }
    // w(x); nothing, with the reason in why, where the weight is not defined.
    std::optional<long double> At(long double x, std::string& why) const;

private:
    std::optional<long double> Unscaled(long double x, std::string& why) const;
    std::optional<long double> BetweenLevels(long double x, std::string& why) const;
};

// The weights of a scheme for these data. Explicit weights: one per level in
// study order (levels without responses included), each finite and positive.
WeightModel BuildWeights(const CalibrationData& data, WeightScheme scheme,
                         const std::vector<double>& explicitWeights);

// The weighted least-squares line, held in extended precision.
struct WeightedFit {
    WeightModel model;
    int N = 0;
    long double sumW = 0, meanX = 0, meanY = 0; // Σw, x̄_w, ȳ_w
    long double sxx = 0, syy = 0;               // Σw(x − x̄_w)², Σw(y − ȳ_w)²
    long double a = 0, b = 0, ssRes = 0, sw = 0;
    double xMin = 0, xMax = 0; // the working range: the lowest and highest standard
    bool hasLine = false, hasS = false;
    std::string reason;
};
WeightedFit FitWeighted(const CalibrationData& data, WeightModel model);

// The line, its intervals, residuals, back-calculated standards, σ₀ and the
// limits (ICH form, DIN 32645, Hubaux–Vos) under the fit's weights.
WeightedLine DescribeWeighted(const CalibrationData& data, const WeightedFit& fit,
                              const DiagnosticOptions& options);

// Σ|%RE| of the back-calculated level means, over the standards with x ≠ 0.
Value SumAbsRelativeError(const CalibrationData& data, const WeightedFit& fit);

// Weights, fit and description in one step.
WeightedLine ComputeWeighted(const CalibrationData& data, WeightScheme scheme,
                             const std::vector<double>& explicitWeights,
                             const DiagnosticOptions& options);

// A sample read off the weighted line: x̂ = (ȳ₀ − a)/b with
// s(x̂) = (s_w/|b|)·√(1/(m·w₀) + 1/Σw + (ȳ₀ − ȳ_w)²/(b²·S_xx,w)); w₀ given,
// or the weight at x̂.
SampleReading ReadWeightedSample(const WeightedFit& fit, const StudyLimits& limits,
                                 const std::vector<double>& responses, double alpha,
                                 std::optional<double> sampleWeight);

// Reads the study (throws as ReadCalibrationData does), fits the weighted
// line and reads the sample; the verdict compares with that line's LD and LC.
SampleReading ReadWeightedSample(const CalibrationStudy& study, WeightScheme scheme,
                                 const std::vector<double>& explicitWeights,
                                 const std::vector<double>& responses, double alpha,
                                 std::optional<double> sampleWeight, char decimalSeparator);

// The limits' intervals from the χ² distribution of s with df degrees of
// freedom: √(ν/χ²(0.975; ν)) and √(ν/χ²(0.025; ν)) times each limit.
IchIntervals ChiSquaredIntervals(Value LD, Value LC, int df);

} // namespace valdex
