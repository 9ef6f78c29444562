#pragma once
// The variances, the residuals' normality, the weights, the blank method and
// the limits' intervals as Spanish text lines, after the other diagnostics;
// and the lines of a reading off the weighted line.

#include "diagnostics/diagnostics.h"
#include "diagnostics/sample_reading.h"

#include <string>
#include <vector>

namespace valdex {

std::vector<std::string> WeightingLines(const Diagnostics& diagnostics, char decimalSeparator);

// The weight a reading used, and its interval's formula.
std::vector<std::string> WeightedSampleLines(WeightScheme scheme, char decimalSeparator);

} // namespace valdex
