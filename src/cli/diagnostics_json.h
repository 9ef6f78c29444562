#pragma once
// The JSON objects of "diagnostico" and "interpolar", with the keys the
// laboratories' scripts read.

#include "diagnostics/diagnostics.h"
#include "diagnostics/sample_reading.h"
#include "json_object.h"

#include <string>

namespace valdex::cli {

JsonObject DiagnosticsJson(const std::string& file, const Diagnostics& diagnostics);
// Prose in the verdict takes the decimal separator.
JsonObject SampleJson(const std::string& file, const SampleReading& reading, char decimalSeparator);
JsonObject ErrorJson(const std::string& file, const std::string& message);

} // namespace valdex::cli
