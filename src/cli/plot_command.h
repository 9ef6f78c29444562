#pragma once
// The "grafico" subcommand: the diagnostics page of a study file as a PDF
// (Letter, as printed), or its plots as an SVG drawing or a PNG image.

#include "study_commands.h"

#include <string>
#include <vector>

namespace valdex::cli {

// args: the arguments after "grafico":
//   ARCHIVO.w8c --pdf SALIDA.pdf | --svg SALIDA.svg | --png SALIDA.png [--ancho PX --alto PX]
//   [--alfa A] [--beta B] [--m M] [--k K] [--ponderacion P | --pesos W1,W2,…] [--blancos F]
//   (the diagnostics' options, as diagnostico takes them; under a weight the
//   plots show the weighted line, its limits and its weighted residuals)
// The file is written in one step: on any failure an earlier file of that
// name stays as it was. Exit status: 0 written, 1 the study or the file
// failed (its message, "valdex-cli: FILE: ...", on standard error), 2 usage error.
int RunPlotCommand(const std::vector<std::string>& args, char decimalSeparator, Streams io);

} // namespace valdex::cli
