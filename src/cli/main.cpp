// valdex-cli: the study files' results and reports on the command line.

#include "audit_command.h"
#include "base/number_conversion.h"
#include "cli_messages.h"
#include "csv_commands.h"
#include "diagnostics_commands.h"
#include "drawing_module.h"
#include "import_command.h"
#include "records/audit_recorder.h"
#include "sign_command.h"
#include "study_commands.h"

#include <clocale>
#include <exception>
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
    "  valdex-cli calcular --csv ARCHIVO.w8c...   resultados en una tabla, una fila por estudio\n"
    "  valdex-cli informe ARCHIVO.w8c             informe completo del estudio y sus resultados\n"
    "  valdex-cli imprimir ARCHIVO.w8c --diseno lasser|deskjet --pagina 1|2 --pdf SALIDA.pdf\n"
    "                                             una página impresa, en PDF a 600 ppp\n"
    "  valdex-cli diagnostico ARCHIVO.w8c... [--alfa A] [--beta B] [--m M] [--k K] [--json]\n"
    "                                             residuos, pruebas de la curva y límites\n"
    "  valdex-cli interpolar ARCHIVO.w8c Y1 [Y2 ...] [--alfa A] [--json]\n"
    "                                             una muestra leída en la curva\n"
    "  valdex-cli grafico ARCHIVO.w8c --pdf SALIDA.pdf | --svg SALIDA.svg | --png SALIDA.png\n"
    "            [--ancho PX --alto PX]           los gráficos de la calibración y los residuos\n"
    "  valdex-cli importar DATOS.csv --salida ESTUDIO.w8c [--metodo T --analista T --fecha T\n"
    "            --unidades T --propiedad T --tipo T --reemplazar]\n"
    "                                             un estudio desde una tabla de cantidad y "
    "respuesta\n"
    "  valdex-cli validacion ESTUDIO.w8c --pdf INFORME.pdf [--criterios CRITERIOS]\n"
    "            [--ponderacion ninguna] [--alfa A --beta B --m M --k K] [--laboratorio TEXTO]\n"
    "            [--papel carta|a4]               informe de validación con veredictos\n"
    "  valdex-cli firmar INFORME.pdf --significado Elaboró|Revisó|Aprobó [--clave CLAVE.p12]\n"
    "            [--clave-archivo ARCHIVO]        firma el informe (PAdES), con nombre, fecha y "
    "significado\n"
    "  valdex-cli verificar INFORME.pdf [--estudio ESTUDIO.w8c]\n"
    "                                             comprueba las firmas, el estudio y el registro\n"
    "  valdex-cli auditoria [--estudio F] [--desde FECHA] [--hasta FECHA] [--csv]\n"
    "  valdex-cli auditoria --verificar           el registro de auditoría y su cadena\n"
    "  valdex-cli ayuda                           esta ayuda\n"
    "\n"
    "Los números se leen con coma o punto decimal; los resultados se escriben con el\n"
    "separador decimal de la configuración regional (LC_NUMERIC).\n"
    "Estado de salida: 0 correcto, 1 el estudio falló (mensaje en la salida de errores),\n"
    "2 uso incorrecto.\n"
    "Cada subcomando deja una entrada en el registro de auditoría del usuario; para\n"
    "reemplazar un estudio al que se refiere un informe firmado, importar pide --motivo TEXTO.\n";

int Dispatch(const std::vector<std::string>& args, valdex::AuditRecorder& recorder,
             std::vector<valdex::FileRead>& reads) {
    if (args.empty()) {
        std::cerr << kHelp;
        return 2;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const char sep = valdex::LocaleDecimalSeparator();
    valdex::cli::Streams io{std::cout, std::cerr, &reads};
    if (command == "calcular" && valdex::cli::WantsCsv(rest))
        return valdex::cli::RunCalculateCsv(rest, sep, io);
    if (command == "calcular") return valdex::cli::RunCalculate(rest, sep, io);
    if (command == "informe") return valdex::cli::RunReport(rest, sep, io);
    if (valdex::cli::IsDrawingCommand(command))
        return valdex::cli::RunDrawingCommand(command, rest, sep, io);
    if (command == "diagnostico") return valdex::cli::RunDiagnostics(rest, sep, io);
    if (command == "interpolar") return valdex::cli::RunInterpolate(rest, sep, io);
    if (command == "importar") return valdex::cli::RunImport(rest, sep, io);
    if (command == "auditoria") return valdex::cli::RunAuditCommand(rest, recorder, io);
    if (command == "firmar") return valdex::cli::RunSign(rest, recorder, io);
    if (command == "verificar") return valdex::cli::RunVerify(rest, recorder, io);
    if (command == "ayuda" || command == "--help" || command == "-h") {
        std::cout << kHelp;
        return 0;
    }
    std::cerr << "Subcomando desconocido: " << command << "\n\n" << kHelp;
    return 2;
}

} // namespace

// valdex-cli never aborts: what no subcommand caught ends it with a message
// and status 1, and so does an output that could not be written.
int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);
    int status = 1;
    try {
        valdex::AuditRecorder recorder;
        status = valdex::cli::RunAudited(std::vector<std::string>(argv + 1, argv + argc), recorder,
                                         Dispatch);
    } catch (const std::exception& error) {
        std::cerr << "valdex-cli: " << valdex::cli::FailureText(error) << '\n';
    } catch (...) {
        std::cerr << "valdex-cli: Error inesperado.\n";
    }
    if (!valdex::cli::OutputWritten(std::cout, std::cerr)) return 1;
    return status;
}
