#pragma once
// The study's points as numbers, level by level, and the least-squares line
// through all of them. Sums are centred and held in extended precision, so
// large offsets (responses of 1e6 ± 1) lose nothing to cancellation.

#include "study/calibration_study.h"

#include <string>
#include <vector>

namespace valdex {

struct CalibrationLevel {
    double x = 0;
    std::vector<double> responses; // empty for a level with replicate count 0
};

struct CalibrationData {
    std::vector<CalibrationLevel> levels; // in study order
    int Count() const;                    // N, every response of every level
};

// Reads the levels and responses as the calculation does: the level-count
// check first (its message as a StudyError), whole replicate counts (none
// negative), every number with the user's decimal separator. Throws
// ConversionError or StudyError.
CalibrationData ReadCalibrationData(const CalibrationStudy& study, char decimalSeparator);

// Mean and sum of squared deviations of some values; the mean is taken about
// the first value, so identical values give exactly that value and SS = 0.
struct SampleMoments {
    int n = 0;
    long double mean = 0;
    long double ss = 0;
};
SampleMoments Moments(const std::vector<double>& values);

// The ordinary least-squares line y = a + b·x over all points.
struct LineFit {
    int N = 0;
    long double meanX = 0, meanY = 0;
    long double qx = 0;   // Σ (x − x̄)²
    long double syy = 0;  // Σ (y − ȳ)²
    bool hasLine = false; // a and b exist (two distinct x at least)
    long double a = 0, b = 0;
    bool hasS = false;     // s(y/x) exists (N ≥ 3)
    long double s = 0;     // s(y/x), N − 2 degrees of freedom
    long double ssRes = 0; // Σ e²
    long double noise = 0; // sums of squares at or below this are rounding of the data
    std::string reason;    // why there is no line or no s(y/x)
    // The working range: the lowest and highest added quantity that has a
    // response (both 0 without responses).
    double xMin = 0, xMax = 0;

    // e = y − (a + b·x), taken about the means.
    long double Residual(long double x, long double y) const {
        return (y - meanY) - b * (x - meanX);
    }
    // s_a = s·√(1/N + x̄²/Q_x)
    long double InterceptSD() const;
};
LineFit FitLine(const CalibrationData& data);

} // namespace valdex
