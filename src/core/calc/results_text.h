#pragma once
// The lines of the results window ("Detección y Cuantificación").

#include "calc/calibration.h"

#include <string>
#include <vector>

namespace valdex {

// 14, 23 or 25 lines, by calculation type.
std::vector<std::string> ResultsLines(const CalibrationResult& result,
                                      const std::string& calculationType, const std::string& units,
                                      char decimalSeparator);

} // namespace valdex
