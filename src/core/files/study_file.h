#pragma once
// The ".w8c" study file: Windows-1252 text, CR LF line ends, positional
// layout (six texts, the level count, two lines per level, the response
// count, the responses, then the second data column).

#include "files/file_identity.h"
#include "study/calibration_study.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace valdex {

// Every value of the file (each of the first 8 + 2n + 2N lines) holds at
// most this many characters, one byte each: far more than any edit of the
// window takes (100) or any number needs. The writer refuses a longer value
// and the reader a longer line, so that whatever loads can be saved again.
inline constexpr std::size_t kMaxFileValueLength = 255;
// The lines of the largest study: six texts, n, 2n level lines, N, 2N data.
inline constexpr std::size_t kMaxFileLines = 8 + 2 * kMaxFileLevels + 2 * kMaxFileResponses;
// No file the writer produces is longer (51 407 196 bytes, every line at its
// longest with CR LF); the reader refuses a longer one before reading it.
inline constexpr std::size_t kMaxStudyFileBytes = kMaxFileLines * (kMaxFileValueLength + 2);

// Reads every line and checks the counts before building the study, so a
// refused file yields nothing. Throws FileError, ConversionError or
// StudyError (a file longer than kMaxStudyFileBytes, a count out of range
// or a value longer than kMaxFileValueLength, naming the file and the line).
// With `reads`, what was read of the file is added to it, before the study
// is parsed (a file that is read and refused was read all the same).
CalibrationStudy ReadStudyFile(const std::string& path, std::vector<FileRead>* reads = nullptr);
CalibrationStudy ParseStudyFile(std::string_view bytes, const std::string& fileName);

// Writes the study through a temporary file in the same folder that is
// flushed and renamed over the target, so a failure never leaves a
// half-written file in place of a good one. Refuses, before writing, a
// replicate count that is not a whole number or is negative, a text that
// Windows-1252 cannot hold and one longer than kMaxFileValueLength.
void WriteStudyFile(const CalibrationStudy& study, const std::string& path);
std::string SerializeStudy(const CalibrationStudy& study);

// The first value of the study (texts, level cells, responses, second
// column) that looks like UTF-8 read as Windows-1252 ("RegresiÃ³n"): a file
// saved by another program in the wrong code page. Nothing when none does.
std::optional<std::string> MisreadUtf8Text(const CalibrationStudy& study);

} // namespace valdex
