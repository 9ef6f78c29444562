#pragma once
// Published calibration data (data/*.csv, x and y per row) as the
// diagnostics read them, and small studies built in code.

#include "diagnostics/calibration_data.h"
#include "diagnostics/diagnostics.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace valdex::testing {

// Rows with the same x in a row form one level, in file order.
// The options of the limits, the weighting's left as they are by default.
inline DiagnosticOptions Options(double alpha, double beta, int m, double k) {
    DiagnosticOptions options;
    options.alpha = alpha;
    options.beta = beta;
    options.m = m;
    options.k = k;
    return options;
}

inline CalibrationData ReadCsv(const std::string& name) {
    std::ifstream in(std::string(VALDEX_SOURCE_DIR) + "/tests/core/diagnostics/data/" + name);
    if (!in) throw std::runtime_error("missing test data " + name);
    std::string line;
    std::getline(in, line); // "x","y"
    CalibrationData data;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string x, y;
        std::getline(fields, x, ',');
        std::getline(fields, y);
        const double xv = std::stod(x);
        if (data.levels.empty() || data.levels.back().x != xv) data.levels.push_back({xv, {}});
        data.levels.back().responses.push_back(std::stod(y));
    }
    return data;
}

inline CalibrationData Levels(const std::vector<CalibrationLevel>& levels) {
    return CalibrationData{levels};
}

} // namespace valdex::testing
