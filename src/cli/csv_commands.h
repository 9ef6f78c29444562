#pragma once
// "calcular --csv": one row per study, for a spreadsheet.

#include "study_commands.h"

#include <string>
#include <vector>

namespace valdex::cli {

// True when the arguments of "calcular" ask for the table.
bool WantsCsv(const std::vector<std::string>& args);

// A header row, then per study: file, calculation type, units, N, t and the
// twelve results as the results text writes them, and an empty error column.
// A study that fails gives a row with its file and the message in the error
// column (and the message on the error stream); the exit status is then 1.
// The columns are separated by ";" when the decimal separator is ",", else
// by ",". Exit status 2 for a usage error.
int RunCalculateCsv(const std::vector<std::string>& args, char decimalSeparator, Streams io);

// One field of a row, quoted (with inner quotes doubled) when it holds the
// column separator, a quote or a line end.
std::string CsvField(const std::string& text, char columnSeparator);

} // namespace valdex::cli
