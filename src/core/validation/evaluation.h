#pragma once
// What the validation report states about a study, computed once: the
// results of the calculation, the diagnostics, each standard read back on the
// line, and the verdict of every criterion of a set.

#include "calc/calibration.h"
#include "diagnostics/diagnostics.h"
#include "study/calibration_study.h"
#include "validation/criteria.h"

#include <optional>
#include <string>
#include <vector>

namespace valdex {

// One standard (one response) read back on the line.
struct StandardRow {
    int level = 0;     // 1-based
    int replicate = 0; // 1-based
    double x = 0, y = 0;
    Value xCalc;    // (y − a)/b
    Value recovery; // 100·x̂/x; nothing for a blank (x = 0)
};

inline constexpr const char* kNoWeighting = "ninguna";

struct ValidationData {
    CalibrationStudy study;
    std::optional<CalibrationResult> result; // the results window's numbers
    std::string resultReason;                // why there are none
    Diagnostics diagnostics;
    std::vector<StandardRow> standards;
    std::string weighting = kNoWeighting;
    // DIN 38402-51: s_x0 = s(y/x)/|b|, V_x0 = 100·s_x0/x̄.
    Value sx0, vx0, ssRes;
};

// Reads the study (a study that cannot be read throws its AppError) and
// computes everything the report states; a calculation that fails leaves
// `result` empty with its reason.
ValidationData ComputeValidationData(const CalibrationStudy& study,
                                     const DiagnosticOptions& options, char decimalSeparator);

enum class Verdict { Pass, Fail, NotEvaluable };

struct CriterionResult {
    CriterionId id{};
    std::string title;       // short: "r²", "falta de ajuste"
    std::string requirement; // CriterionText
    std::string measured;
    Verdict verdict = Verdict::NotEvaluable;
    std::string reason; // for NotEvaluable
    bool informative = false;
};

// "Cumple", "No cumple", "No evaluable (motivo)".
std::string VerdictText(const CriterionResult& row);

struct Evaluation {
    std::vector<CriterionResult> rows; // the active criteria, in the set's order
    bool passed = false;               // every deciding criterion met
    std::string conclusion;
};

Evaluation Evaluate(const CriteriaSet& set, const ValidationData& data, char decimalSeparator);

} // namespace valdex
