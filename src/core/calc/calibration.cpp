#include "calc/calibration.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "study/study_messages.h"

#include <cfloat>
#include <cmath>
#include <string>

namespace valdex {

namespace {

constexpr const char* kDivisionByZero = "Floating point division by zero";
constexpr const char* kInvalidOperation = "Invalid floating point operation";
constexpr const char* kOverflow = "Floating point overflow";

using Extended = long double;

// Each formula is evaluated in extended precision and stored as a double;
// the faults are raised instead of carrying infinities or NaN on.
Extended Checked(Extended value) {
    if (std::isnan(value)) throw ArithmeticError(kInvalidOperation);
    if (std::isinf(value)) throw ArithmeticError(kOverflow);
    return value;
}

Extended Divide(Extended numerator, Extended denominator) {
    if (denominator == 0)
        throw ArithmeticError(numerator == 0 ? kInvalidOperation : kDivisionByZero);
    return Checked(numerator / denominator);
}

Extended SquareRoot(Extended value) {
    if (value < 0) throw ArithmeticError(kInvalidOperation);
    return std::sqrt(value);
}

double Store(Extended value) {
    Checked(value);
    if (std::fabs(value) > DBL_MAX) throw ArithmeticError(kOverflow);
    return static_cast<double>(value);
}

// Whole counts of levels 1..n; a negative one is refused.
std::vector<int> CheckedReplicateCounts(const CalibrationStudy& study, int n) {
    std::vector<int> counts = ReplicateCounts(study, n);
    for (int i = 1; i <= n; ++i)
        if (counts[i - 1] < 0) throw StudyError(ReplicateNegative(i));
    return counts;
}

} // namespace

void CalibrationCalculator::ResetCalibrationSums() {
    sums_ = CalibrationSums{};
}

void CalibrationCalculator::ComputeCalibration(const CalibrationStudy& study,
                                               CalibrationResult& result) {
    ResetCalibrationSums();

    // Accumulation: responses are level-major, each paired with the added
    // quantity of its level.
    const int n = ToInteger(study.LevelCount);
    const std::vector<int> counts = CheckedReplicateCounts(study, n);
    int row = 0;
    for (int i = 1; i <= n; ++i) {
        const int replicates = counts[i - 1];
        for (int j = 1; j <= replicates; ++j) {
            const Extended y = ToDecimal(study.ResponseCell(1, row + j), separator_);
            const Extended x = ToDecimal(study.LevelCell(i, 1), separator_);
            sums_.SumY = Store(sums_.SumY + y);
            sums_.SumY2 = Store(sums_.SumY2 + y * y);
            sums_.SumX = Store(sums_.SumX + x);
            sums_.SumX2 = Store(sums_.SumX2 + x * x);
            sums_.SumXY = Store(sums_.SumXY + x * y);
        }
        row += replicates;
    }
    const long long count = TotalReplicates(counts);
    if (count > 0x7FFFFFFFLL) throw ArithmeticError(kOverflow);
    sums_.N = static_cast<int>(count);

    const std::string& type = study.CalculationType;
    table_.Fill();

    const Extended N = sums_.N;
    const Extended sumX = sums_.SumX, sumX2 = sums_.SumX2, sumY = sums_.SumY, sumY2 = sums_.SumY2,
                   sumXY = sums_.SumXY;

    const double b = Store(Divide(N * sumXY - sumX * sumY, N * sumX2 - sumX * sumX));
    result.Slope = b;
    const double a = Store(Divide(sumY - b * sumX, N));
    double residualSS = Store(sumY2 - b * sumXY - a * sumY);
    // Points exactly on a line can leave a rounding residue below zero; the
    // residual sum of squares is zero then, not an invalid operation.
    if (residualSS < 0) residualSS = 0;
    const double variance = Store(Divide(residualSS, N - 2));
    const double s = Store(SquareRoot(variance));
    result.RegressionSD = s;

    const double sxx = Store(sumX2 - Divide(sumX * sumX, N));
    const double slopeSD = Store(Divide(s, SquareRoot(sxx)));
    tCritical_ = table_.Lookup(sums_.N - 2);
    const Extended t = tCritical_;
    result.SlopeCIUpper = Store(b + t * slopeSD);
    result.SlopeCILower = Store(b - t * slopeSD);

    result.CV = Store(Divide(static_cast<Extended>(s) * 100 * N, sumY));
    const Extended slopeNumerator = N * sumXY - sumX * sumY;
    result.R2 = Store(Divide(slopeNumerator * slopeNumerator,
                             (N * sumX2 - sumX * sumX) * (N * sumY2 - sumY * sumY)));

    // The limits are amounts: a decreasing calibration gives them positive
    // too, while the slope and its interval keep their sign.
    const Extended slopeMagnitude = std::fabs(static_cast<Extended>(b));
    const double ldRegression = Store(Divide(3.3L * s, slopeMagnitude));
    const double lcRegression = Store(Divide(10 * static_cast<Extended>(s), slopeMagnitude));

    const double meanX = Store(Divide(sumX, N));
    const double interceptSD =
        Store(s * SquareRoot(Divide(1, N) + Divide(static_cast<Extended>(meanX) * meanX, sxx)));
    result.InterceptSD = interceptSD;
    const double intercept = Store(Divide(sumY - b * sumX, N));
    result.Intercept = intercept;
    result.InterceptCIUpper = Store(intercept + t * interceptSD);
    result.InterceptCILower = Store(intercept - t * interceptSD);

    const double ldIntercept = Store(Divide(3.3L * interceptSD, slopeMagnitude));
    const double lcIntercept =
        Store(Divide(10 * static_cast<Extended>(interceptSD), slopeMagnitude));

    if (type == kRegression) {
        result.LD = ldRegression;
        result.LC = lcRegression;
    } else if (type == kInterceptMethod) {
        result.LD = ldIntercept;
        result.LC = lcIntercept;
    }
}

} // namespace valdex
