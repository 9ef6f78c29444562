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
    // A quick answer before the table is read; the write itself never
    // replaces, even a study another process creates meanwhile.
    const std::string exists = options.output + ": ya existe; no se reemplaza sin --reemplazar.";
    std::error_code ignored;
    if (!options.replace &&
        std::filesystem::exists(std::filesystem::symlink_status(options.output, ignored))) {
        io.err << "valdex-cli: " << exists << '\n';
        return 1;
    }
    try {
        CalibrationStudy study = ReadMeasurementTable(options.table, options.texts, sep);
        // What the window checks before it saves.
        const LevelCheck check = CheckLevelCount(study);
        if (check.LevelCheckFailed) throw StudyError(options.table + ": " + check.message);
        const std::string written = options.output + ": " + study.LevelCount + " niveles, " +
                                    std::to_string(study.ResponseRows()) + " respuestas.\n";
        bool created = true;
        try {
            if (options.replace) {
                WriteStudyFile(study, options.output);
            } else {
                // The study's bytes alone are held while they are written.
                const std::string bytes = SerializeStudy(study);
                study = CalibrationStudy();
                created = CreateFileContent(options.output, bytes);
            }
        } catch (const AppError& error) {
            throw StudyError(options.output + ": " + error.what());
        }
        if (!created) {
            io.err << "valdex-cli: " << exists << '\n';
            return 1;
        }
        io.out << written;
        io.out.flush();
        return 0;
    } catch (const std::exception& error) {
        io.err << "valdex-cli: " << FailureText(error) << '\n';
        return 1;
    }
}

} // namespace valdex::cli
