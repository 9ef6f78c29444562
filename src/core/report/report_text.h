#pragma once
// The lines of the report window: the study part, then the results part.

#include "calc/calibration.h"

#include <string>
#include <vector>

namespace valdex {

struct ReportText {
    std::vector<std::string> lines; // what the window holds, also after a fault
    std::string error;              // the fault's raw text; empty when none
};

// Runs the calculation between the two parts, into `result`. A fault ends
// the text where it happened (after the levels table when the data rows
// cannot be counted, after the study part when the calculation fails).
ReportText BuildReport(const CalibrationStudy& study, CalibrationCalculator& calculator,
                       CalibrationResult& result);

} // namespace valdex
