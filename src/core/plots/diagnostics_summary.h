#pragma once
// The summary of the diagnostics under the plots on the printed page: one
// sentence per test with its statistic and verdict, or why it was not
// computed; numbers by FormatGeneral with the user's decimal separator.

#include "diagnostics/diagnostics.h"

#include <string>
#include <vector>

namespace valdex {

std::vector<std::string> DiagnosticsSummaryLines(const Diagnostics& diagnostics,
                                                 char decimalSeparator);

} // namespace valdex
