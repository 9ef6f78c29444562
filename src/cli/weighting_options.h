#pragma once
// The weighting options of "diagnostico" and "interpolar": --ponderacion,
// --pesos (one weight per level), --blancos (a file of blank responses, one
// a line) and --peso-muestra.

#include "diagnostics/diagnostics.h"

#include <string>
#include <vector>

namespace valdex::cli {

// --ponderacion NAME, --pesos W1,W2,… or --blancos FILE into the options;
// `weightGiven` keeps either of the first two from being given twice. An
// empty string when read, else the message (for --blancos it names the file).
std::string ApplyWeightOption(const std::string& option, const std::string& value,
                              char decimalSeparator, DiagnosticOptions& options, bool& weightGiven);

// Weights separated by ',' (by ';' when the decimal separator is ','), each
// a finite positive number. An empty string when read, else the message.
std::string ParseWeights(const std::string& text, char decimalSeparator, std::vector<double>& out);

// The blank responses of a regular file of at most 16 MiB, one number a
// line, blank lines skipped. An empty string when read, else the message
// (without the file's name).
std::string ReadBlanks(const std::string& file, char decimalSeparator, std::vector<double>& out);

} // namespace valdex::cli
