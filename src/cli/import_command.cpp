#include "import_command.h"

#include "base/app_error.h"
#include "cli_messages.h"
#include "files/file_io.h"
#include "files/study_file.h"
#include "measurement_table.h"
#include "study/level_check.h"

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>

namespace valdex::cli {

namespace {

constexpr const char* kUsage =
    "Uso: valdex-cli importar DATOS.csv --salida ESTUDIO.w8c [--metodo TEXTO] [--analista TEXTO]\n"
    "       [--fecha TEXTO] [--unidades TEXTO] [--propiedad TEXTO] [--tipo TIPO] [--reemplazar]\n";

struct ImportOptions {
    std::string table;
    std::string output;
    bool replace = false;
    StudyTexts texts;
};

// An error message for the usage, or nothing when the options are sound.
std::optional<std::string> ParseImport(const std::vector<std::string>& args,
                                       ImportOptions& options) {
    std::map<std::string, std::string*> valued = {
        {"--salida", &options.output},
        {"--metodo", &options.texts.MethodName},
        {"--analista", &options.texts.AnalystName},
        {"--fecha", &options.texts.StudyDate},
        {"--unidades", &options.texts.AddedQuantityUnits},
        {"--propiedad", &options.texts.MeasuredProperty},
        {"--tipo", &options.texts.CalculationType},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--reemplazar") {
            options.replace = true;
        } else if (auto option = valued.find(arg); option != valued.end()) {
            if (i + 1 == args.size()) return "Falta el valor de " + arg + ".";
            *option->second = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "Opción desconocida: " + arg + ".";
        } else if (options.table.empty()) {
            options.table = arg;
        } else {
            return "Sobra el argumento " + arg + ".";
        }
    }
    if (options.table.empty()) return std::string("Falta el archivo de datos.");
    if (options.output.empty()) return std::string("Falta --salida ESTUDIO.w8c.");
    if (!IsKnownCalculationType(options.texts.CalculationType))
        return "El tipo de cálculo debe ser \"" + std::string(kRegression) + "\" o \"" +
               kInterceptMethod + "\".";
    return std::nullopt;
}

} // namespace

int RunImport(const std::vector<std::string>& args, char sep, Streams io) {
    ImportOptions options;
    if (const auto problem = ParseImport(args, options)) {
        io.err << *problem << '\n' << kUsage;
        return 2;
    }
    std::error_code ignored;
    if (!options.replace && std::filesystem::exists(options.output, ignored)) {
        io.err << "valdex-cli: " << options.output
               << ": ya existe; no se reemplaza sin --reemplazar.\n";
        return 1;
    }
    try {
        std::string bytes;
        try {
            // A table of as many measurements as a study may hold, each line
            // no longer than two values of a study file.
            constexpr std::size_t kMaxTableBytes =
                (kMaxFileResponses + 1) * (2 * kMaxFileValueLength + 3);
            std::optional<std::string> read = ReadFileBytes(options.table, kMaxTableBytes);
            if (!read)
                throw StudyError("El archivo es mayor que " + std::to_string(kMaxTableBytes) +
                                 " bytes, más de lo que cabe en un estudio.");
            bytes = std::move(*read);
        } catch (const AppError& error) {
            throw FileError(options.table + ": " + error.what());
        }
        const CalibrationStudy study = StudyFromMeasurements(
            ParseMeasurementTable(bytes, options.table, sep), options.texts, options.table);
        // What the window checks before it saves.
        const LevelCheck check = CheckLevelCount(study);
        if (check.LevelCheckFailed) throw StudyError(options.table + ": " + check.message);
        try {
            WriteStudyFile(study, options.output);
        } catch (const AppError& error) {
            throw StudyError(options.output + ": " + error.what());
        }
        io.out << options.output << ": " << study.LevelCount << " niveles, " << study.ResponseRows()
               << " respuestas.\n";
        io.out.flush();
        return 0;
    } catch (const std::exception& error) {
        io.err << "valdex-cli: " << FailureText(error) << '\n';
        return 1;
    }
}

} // namespace valdex::cli
