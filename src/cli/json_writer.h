#pragma once
// A JSON object per study for "calcular --json".

#include "calc/calibration.h"

#include <string>

namespace valdex::cli {

struct StudyResultRecord {
    std::string file;
    std::string calculationType;
    std::string units;
    int n = 0;
    double tCritical = 0;
    CalibrationResult result;
};

std::string ToJson(const StudyResultRecord& record, char decimalSeparator);

// The shortest decimal text that reads back to the same double.
std::string ShortestDecimal(double value);

} // namespace valdex::cli
