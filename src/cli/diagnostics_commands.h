#pragma once
// The "diagnostico" and "interpolar" subcommands: the calibration diagnostics
// of a study and a sample read off its curve, as text or JSON.

#include "study_commands.h"

#include <string>
#include <vector>

namespace valdex::cli {

// Exit status as "calcular": 0 done, 1 a study failed (its message on
// standard error; with --json also an object with "archivo" and "error"),
// 2 usage error.
int RunDiagnostics(const std::vector<std::string>& args, char decimalSeparator, Streams io);
int RunInterpolate(const std::vector<std::string>& args, char decimalSeparator, Streams io);

} // namespace valdex::cli
