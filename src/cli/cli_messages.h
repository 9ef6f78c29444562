#pragma once
// What valdex-cli says about a study: every message names the file as the
// user gave it, "valdex-cli: estudio.w8c: File not found.", and the file a
// command writes is marked as the output.

#include "files/file_identity.h"
#include "study/calibration_study.h"

#include <exception>
#include <iosfwd>
#include <string>
#include <string_view>
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

// True, after saying so on `err`, when `output` is the study file itself,
// also through another name, a link or a hard link: it is never replaced.
bool OutputIsTheStudy(const std::string& study, const std::string& output, std::ostream& err);

// Writes the bytes as the whole of `output` in one go; false, after saying
// why on `err`, when it could not be written.
bool WriteOutput(const std::string& output, std::string_view bytes, std::ostream& err);

} // namespace valdex::cli
