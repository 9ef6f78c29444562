#pragma once
// The lines of the results window ("Detección y Cuantificación").

#include "calc/calibration.h"

#include <string>
#include <vector>

namespace valdex {

// The lines the results window and the report share: the slope and the
// intercept with their limits, the deviation, CV and r², each group followed
// by an empty line (12 lines).
std::vector<std::string> RegressionLines(const CalibrationResult& result, char decimalSeparator);

// 14, 23 or 25 lines, by calculation type.
std::vector<std::string> ResultsLines(const CalibrationResult& result,
                                      const std::string& calculationType, const std::string& units,
                                      char decimalSeparator);

} // namespace valdex
