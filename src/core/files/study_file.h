#pragma once
// The ".w8c" study file: Windows-1252 text, CR LF line ends, positional
// layout (six texts, the level count, two lines per level, the response
// count, the responses, then the second data column).

#include "study/calibration_study.h"

#include <string>
#include <string_view>

namespace valdex {

// Reads every line and checks the counts before building the study, so a
// refused file yields nothing. Throws FileError, ConversionError or
// StudyError (a count out of range, naming the file and the line).
CalibrationStudy ReadStudyFile(const std::string& path);
CalibrationStudy ParseStudyFile(std::string_view bytes, const std::string& fileName);

// Writes the study through a temporary file in the same folder that is
// flushed and renamed over the target, so a failure never leaves a
// half-written file in place of a good one. Refuses, before writing, a
// replicate count that is not a whole number or is negative, and a text
// that Windows-1252 cannot hold.
void WriteStudyFile(const CalibrationStudy& study, const std::string& path);
std::string SerializeStudy(const CalibrationStudy& study);

} // namespace valdex
