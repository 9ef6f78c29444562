#pragma once
// The "calcular" and "informe" subcommands: the same texts as the results
// and report windows, for scripts and LIMS.

#include "files/file_identity.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace valdex::cli {

struct Streams {
    std::ostream& out;
    std::ostream& err;
    // What the command read of each study, for the audit trail; none kept
    // when null.
    std::vector<FileRead>* reads = nullptr;
};

// Exit status: 0 done, 1 a study failed (its message on standard error),
// 2 usage error.
int RunCalculate(const std::vector<std::string>& args, char decimalSeparator, Streams io);
int RunReport(const std::vector<std::string>& args, char decimalSeparator, Streams io);

} // namespace valdex::cli
