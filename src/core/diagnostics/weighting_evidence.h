#pragma once
// The evidence about the variances and the weights: the F test of the end
// levels, the candidate weights with their Σ|%RE|, the recommendation, and
// the blank method.

#include "diagnostics/calibration_data.h"
#include "diagnostics/diagnostics.h"
#include "diagnostics/weighting_results.h"

#include <vector>

namespace valdex {

// The lowest and the highest level (by x) with responses.
EndLevelsFTest EndLevelsF(const CalibrationData& data);

// Every weight offered except explicit ones, fitted to the data.
std::vector<WeightCandidate> WeightCandidates(const CalibrationData& data);

// "se recomienda ponderar" when a test of the variances rejects; the usable
// candidates ranked, the variance function and 1/s² first.
WeightRecommendation Recommend(const EndLevelsFTest& f, const CochranTest& cochran,
                               const BartlettTest& bartlett,
                               const std::vector<WeightCandidate>& candidates);

// DIN 32645 blank method and the ICH "SD of the blank" limits, from the given
// blank responses or, when none are given, the study's level at x = 0; the
// slope of the ordinary line.
BlankMethod ComputeBlankMethod(const CalibrationData& data, const LineFit& line,
                               const std::vector<double>& blanks, const DiagnosticOptions& options);

// Everything above into the diagnostics, after their other parts: the chosen
// weight's line only when a weight was asked for.
void AddWeightingDiagnostics(const CalibrationData& data, const LineFit& line, Diagnostics& d);

} // namespace valdex
