#pragma once
// What valdex-cli says about a study: every message names the file as the
// user gave it, "valdex-cli: estudio.w8c: File not found.", and the file a
// command writes is marked as the output.

#include "files/file_identity.h"
#include "study/calibration_study.h"

#include <exception>
#include <iosfwd>
#include <string>
#include <vector>

namespace valdex::cli {

// "valdex-cli: <file>: <text>".
std::string FileMessage(const std::string& file, const std::string& text);

// "valdex-cli: <file> (salida): <text>".
std::string OutputMessage(const std::string& file, const std::string& text);

// The text of an error that ended a study's command, with the error box's
// full stop: the error's own text, or words of its own when memory ran out
// or an error came that the program does not raise itself.
std::string FailureText(const std::exception& error);

// Reads the study file and warns on `err` when its texts look like UTF-8
// read as Windows-1252 (a file saved in the wrong code page). Throws as
// ReadStudyFile does.
CalibrationStudy LoadStudy(const std::string& file, std::ostream& err,
                           std::vector<FileRead>* reads = nullptr);

// Flushes `out` and tells whether everything written to it arrived (a full
// disk, a closed output); says so on `err` when not.
bool OutputWritten(std::ostream& out, std::ostream& err);

} // namespace valdex::cli
