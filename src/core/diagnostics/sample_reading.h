#pragma once
// A routine sample read off the calibration line: the quantity for the mean
// of its m responses, its two-sided 1 − α interval and its place against the
// study's LD and LC.

#include "diagnostics/calibration_data.h"
#include "diagnostics/diagnostics.h"

#include <string>
#include <vector>

namespace valdex {

inline constexpr double kSampleAlpha = 0.05; // a 95 % interval unless asked otherwise

// The three verdicts, as written in every text and JSON object.
inline constexpr const char* kBelowLD = "< LD";
inline constexpr const char* kBetweenLDAndLC = "LD ≤ x < LC";
inline constexpr const char* kAboveLC = "≥ LC";
// Beside a verdict for a reading between LD and the lowest standard.
inline constexpr const char* kBelowLowest = "por debajo del patrón más bajo";

struct SampleReading {
    int m = 0;
    double alpha = kSampleAlpha;
    Value mean;                       // of the sample's responses
    Value x, halfWidth, lower, upper; // x̂ and its interval
    std::string verdict;              // one of the three above, or empty
    StudyLimits limits;               // what the verdict compares with
    std::string units;
    std::string reason;        // why x, the interval or the verdict is missing
    Value standardError;       // of x: s_x0·√(1/m + 1/N + (ȳ₀ − ȳ)²/(b²·Q_x))
    Value xLowest, xHighest;   // the working range: lowest and highest standard
    bool extrapolated = false; // x above the highest standard
    bool belowLowest = false;  // LD ≤ x below the lowest standard
};

// The verdict as the texts write it: "fuera del intervalo de calibración
// (x_min–x_max U): extrapolación" above the highest standard, else the
// verdict, with kBelowLowest after it between LD and the lowest standard;
// empty without a verdict (an extrapolation is one even without LD and LC).
std::string SampleVerdict(const SampleReading& reading, char decimalSeparator);

// x̂ = (ȳ₀ − a)/b, half-width t(N − 2; 1 − α/2)·(s/|b|)·√(1/m + 1/N + (ȳ₀ − ȳ)²/(b²·Q_x)).
// The verdict compares x̂ with |LD| and |LC|, which a decreasing curve makes
// negative.
SampleReading ReadSample(const LineFit& line, const StudyLimits& limits,
                         const std::vector<double>& responses, double alpha);

// Reads the study (throws its AppError as ReadCalibrationData does), then the
// sample.
SampleReading ReadSample(const CalibrationStudy& study, const std::vector<double>& responses,
                         double alpha, char decimalSeparator);

} // namespace valdex
