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

// For a calculation type that is neither of the two, LD and LC are null and
// an "aviso" says why.
std::string ToJson(const StudyResultRecord& record, char decimalSeparator);

// The object of a study that failed: {"archivo": ..., "error": the message}.
std::string ToJsonError(const std::string& file, const std::string& message);

// The shortest decimal text that reads back to the same double.
std::string ShortestDecimal(double value);

} // namespace valdex::cli
