#pragma once
// The diagnostics and a sample reading as readable Spanish text, line by
// line, numbers written by FormatGeneral with the user's decimal separator;
// shared by valdex-cli and the windows.

#include "diagnostics/diagnostics.h"
#include "diagnostics/sample_reading.h"

#include <string>
#include <vector>

namespace valdex {

std::vector<std::string> DiagnosticsLines(const Diagnostics& diagnostics, char decimalSeparator);

std::vector<std::string> SampleLines(const SampleReading& reading, char decimalSeparator);

} // namespace valdex
