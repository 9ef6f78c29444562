#pragma once
// The "imprimir" subcommand: one printed page of a study file, in the
// "Lasser" or the "Deskjet" design, to a PDF file at 600 dots per inch.

#include <string>
#include <vector>

namespace valdex::cli {

// args: the arguments after "imprimir":
//   ARCHIVO.w8c --diseno lasser|deskjet --pagina 1|2 --pdf SALIDA.pdf
// Exit status: 0 written, 1 the study failed (the check's message or the
// error box text on standard error; no file is written), 2 usage error.
int RunPrintCommand(const std::vector<std::string>& args);

} // namespace valdex::cli
