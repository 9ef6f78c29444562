#pragma once
// Least-squares calibration line with its 95 % intervals and the detection
// and quantification limits.

#include "calc/student_t_table.h"
#include "study/calibration_study.h"

namespace valdex {

struct CalibrationResult {
    double Slope = 0;
    double SlopeCIUpper = 0;
    double SlopeCILower = 0;
    double Intercept = 0;
    double InterceptCIUpper = 0;
    double InterceptCILower = 0;
    double RegressionSD = 0;
    double CV = 0;
    double R2 = 0;
    double InterceptSD = 0;
    double LD = 0;
    double LC = 0;
};

// The working sums of one calculation.
struct CalibrationSums {
    int N = 0;
    double SumX = 0;
    double SumX2 = 0;
    double SumY = 0;
    double SumY2 = 0;
    double SumXY = 0;
};

// Owns the working sums and the t table; one calculation at a time.
class CalibrationCalculator {
public:
    explicit CalibrationCalculator(char decimalSeparator = '.') : separator_(decimalSeparator) {}

    // Fills the caller's result from the study. A conversion or arithmetic
    // fault throws (ConversionError, ArithmeticError, StudyError) and leaves
    // the fields assigned before it; LD and LC are assigned only for the two
    // known calculation types.
    void ComputeCalibration(const CalibrationStudy& study, CalibrationResult& result);

    const CalibrationSums& Sums() const { return sums_; }
    // The t value of the last calculation that reached it.
    double TCritical() const { return tCritical_; }
    char DecimalSeparator() const { return separator_; }

private:
    void ResetCalibrationSums();

    char separator_;
    CalibrationSums sums_;
    StudentTTable table_;
    double tCritical_ = 0;
};

} // namespace valdex
