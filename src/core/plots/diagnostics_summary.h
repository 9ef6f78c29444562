#pragma once
// The summary of the diagnostics under the plots on the printed page: the
// significance levels it uses and m in one line, one sentence per test with
// its statistic and verdict, or why it was not computed, the limits and the
// caveats that qualify them; numbers by FormatProse (no "E" exponents, the
// minus sign U+2212) with the user's decimal separator.

#include "diagnostics/diagnostics.h"

#include <string>
#include <vector>

namespace valdex {

std::vector<std::string> DiagnosticsSummaryLines(const Diagnostics& diagnostics,
                                                 char decimalSeparator);

} // namespace valdex
