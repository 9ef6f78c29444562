#pragma once
// The "validacion" subcommand: the validation report of a study file as a
// PDF, judged against a criteria set.

#include <string>
#include <vector>

namespace valdex::cli {

// 0 written, 1 the study, the criteria or the output failed (message on
// standard error), 2 usage error.
int RunValidationCommand(const std::vector<std::string>& args, char decimalSeparator);

} // namespace valdex::cli
