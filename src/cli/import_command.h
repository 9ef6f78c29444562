#pragma once
// "importar": a study file built from a table of measurements.

#include "study_commands.h"

#include <string>
#include <vector>

namespace valdex::cli {

// valdex-cli importar DATOS.csv --salida ESTUDIO.w8c [--metodo T]
// [--analista T] [--fecha T] [--unidades T] [--propiedad T] [--tipo T]
// [--reemplazar]. The table's rules are in measurement_table.h. The study is
// written with the safe writer; an existing file is replaced only with
// --reemplazar. Exit status: 0 written, 1 the table or the write refused
// (message on the error stream, nothing written), 2 usage error.
int RunImport(const std::vector<std::string>& args, char decimalSeparator, Streams io);

} // namespace valdex::cli
