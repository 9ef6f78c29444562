#pragma once
// The sample field of the diagnostics window: one or more responses of a
// routine sample, separated by blanks, read off the calibration line.

#include "app/main_window_view.h"

#include <string>
#include <vector>

namespace valdex {

inline constexpr const char* kNoSampleResponses =
    "Escriba una o más respuestas de la muestra, separadas por espacios";

// Every blank-separated number of the text, with the user's decimal
// separator. Throws AppError(kNoSampleResponses) for a text of blanks only
// and ConversionError for a text that is not a number (or not a double).
std::vector<double> SampleResponses(const std::string& text, char decimalSeparator);

// x̂, its 95 % interval and the verdict against the study's LD and LC (off
// the weighted line and against its limits when a weight was chosen), as
// the lines of `valdex-cli interpolar` (throws as SampleResponses does).
std::vector<std::string> InterpolateSample(const DiagnosticsWindowContent& content,
                                           const std::string& text);

} // namespace valdex
