#pragma once
// The parts of ComputeDiagnostics, one per diagnostic, and the helpers they
// share. Internal to the diagnostics library.

#include "diagnostics/diagnostics.h"

#include <exception>
#include <string>

namespace valdex {
struct SampleReading;
}

namespace valdex::parts {

inline constexpr const char* kOverflow =
    "Un resultado excede el intervalo de los números: los datos son demasiado grandes.";
inline constexpr const char* kNumericFailure =
    "El cálculo numérico no se pudo completar con estos datos.";

// The value as a double, or nothing when it is not finite there.
Value Finite(long double value);

// Stores the value in the field; when it does not fit a double, notes why.
void Put(Value& field, long double value, std::string& reason);

// Appends a sentence to a reason.
void AddReason(std::string& reason, const std::string& sentence);

// Runs one diagnostic; an exception from a distribution becomes its reason,
// so one diagnostic never stops the others.
template <class Result, class Compute> Result Guarded(Compute compute) {
    try {
        return compute();
    } catch (const std::exception&) {
        Result result;
        result.reason = kNumericFailure;
        return result;
    }
}

// Equal added quantities pooled, levels without responses left out: the
// groups that the lack of fit and Mandel's test count as levels.
struct Group {
    long double x = 0;
    int n = 0;
    long double mean = 0;
    long double ss = 0;
};
std::vector<Group> DistinctLevels(const CalibrationData& data);

std::vector<LevelDiagnostics> LevelRows(const CalibrationData& data, const LineFit& line);
CochranTest Cochran(const CalibrationData& data);
BartlettTest Bartlett(const CalibrationData& data);
LackOfFitTest LackOfFit(const CalibrationData& data, const LineFit& line);
MandelTest Mandel(const CalibrationData& data, const LineFit& line);
IchLimits Ich(const LineFit& line, bool interceptSD);
DinLimits Din(const LineFit& line, const DiagnosticOptions& options);
HubauxVosLimits HubauxVos(const LineFit& line, const DiagnosticOptions& options);

// The reading's verdict against its limits and its working range (its x,
// xLowest and xHighest set); without limits, the reason.
void JudgeSample(SampleReading& reading);

// Why the line gives no back-calculated quantities (no line, a zero slope);
// empty when it does.
std::string SlopeUnavailable(const LineFit& line);

// Why the line cannot give limits or back-calculated quantities (no line, no
// s(y/x), a zero slope, kNotEstimable for a zero s(y/x)); empty when it can.
std::string LimitsUnavailable(const LineFit& line);

// The caveats of the limits, numbers written with the decimal separator.
std::vector<std::string> LimitCaveats(const Diagnostics& d, char decimalSeparator);

// A zero s(y/x) leaves the study's LD and LC without a value, with
// kNotEstimable as the reason (the results window still shows the
// calculation's zeros).
void MarkNotEstimable(StudyLimits& limits, const LineFit& line);

} // namespace valdex::parts
