#pragma once
// The twelve fields of a calculation result, in their order, each with the
// number of significant digits every result text writes it with (results
// window, report, printed pages, JSON): 8 for the slope, its two limits and
// r², 6 for the rest.

#include "calc/calibration.h"
#include "calc/format_general.h"

#include <array>
#include <string>

namespace valdex {

using ResultMember = double CalibrationResult::*;

struct ResultField {
    const char* Name; // the member's name, as the JSON output keys it
    ResultMember Value;
    int Precision;
};

inline constexpr std::array<ResultField, 12> kResultFields{{
    {"Slope", &CalibrationResult::Slope, kPrecision8},
    {"SlopeCIUpper", &CalibrationResult::SlopeCIUpper, kPrecision8},
    {"SlopeCILower", &CalibrationResult::SlopeCILower, kPrecision8},
    {"Intercept", &CalibrationResult::Intercept, kPrecision6},
    {"InterceptCIUpper", &CalibrationResult::InterceptCIUpper, kPrecision6},
    {"InterceptCILower", &CalibrationResult::InterceptCILower, kPrecision6},
    {"RegressionSD", &CalibrationResult::RegressionSD, kPrecision6},
    {"CV", &CalibrationResult::CV, kPrecision6},
    {"R2", &CalibrationResult::R2, kPrecision8},
    {"InterceptSD", &CalibrationResult::InterceptSD, kPrecision6},
    {"LD", &CalibrationResult::LD, kPrecision6},
    {"LC", &CalibrationResult::LC, kPrecision6},
}};
// A field added to the result must be added here too.
static_assert(sizeof(CalibrationResult) == kResultFields.size() * sizeof(double));

// The precision of one field of the table (every member is in it).
constexpr int ResultPrecision(ResultMember member) {
    for (const ResultField& field : kResultFields)
        if (field.Value == member) return field.Precision;
    return kPrecision6;
}

// One field's value as every result text writes it.
inline std::string FormatResult(const CalibrationResult& result, ResultMember member,
                                char decimalSeparator) {
    return FormatGeneral(result.*member, ResultPrecision(member), decimalSeparator);
}

} // namespace valdex
