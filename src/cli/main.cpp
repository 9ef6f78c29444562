// valdex-cli: the study files' results and reports on the command line.

#include "print_command.h"
#include "plot_command.h"
#include "diagnostics_commands.h"
#include "base/number_conversion.h"
#include "study_commands.h"

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kHelp =
    "valdex-cli: Límite de Detección y Cuantificación del Sistema (Curva de Calibración)\n"
    "\n"
    "Uso:\n"
    "  valdex-cli calcular ARCHIVO.w8c...         resultados, como en la ventana de resultados\n"
    "  valdex-cli calcular --json ARCHIVO.w8c...  resultados en JSON, un objeto por estudio\n"
    "  valdex-cli informe ARCHIVO.w8c             informe completo del estudio y sus resultados\n"
    "  valdex-cli imprimir ARCHIVO.w8c --diseno lasser|deskjet --pagina 1|2 --pdf SALIDA.pdf\n"
    "                                             una página impresa, en PDF a 600 ppp\n"
    "  valdex-cli ayuda                           esta ayuda\n"
    "\n"
    "El separador decimal es el de la configuración regional (LC_NUMERIC).\n"
    "Estado de salida: 0 correcto, 1 el estudio falló (mensaje en la salida de errores),\n"
    "2 uso incorrecto.\n";

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kHelp;
        return 2;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const char sep = valdex::LocaleDecimalSeparator();
    valdex::cli::Streams io{std::cout, std::cerr};
    if (command == "calcular") return valdex::cli::RunCalculate(rest, sep, io);
    if (command == "informe") return valdex::cli::RunReport(rest, sep, io);
    if (command == "imprimir") return valdex::cli::RunPrintCommand(rest);
    if (command == "diagnostico") return valdex::cli::RunDiagnostics(rest, sep, io);
    if (command == "interpolar") return valdex::cli::RunInterpolate(rest, sep, io);
    if (command == "grafico") return valdex::cli::RunPlotCommand(rest, sep, io);
    if (command == "ayuda" || command == "--help" || command == "-h") {
        std::cout << kHelp;
        return 0;
    }
    std::cerr << "Subcomando desconocido: " << command << "\n\n" << kHelp;
    return 2;
}
